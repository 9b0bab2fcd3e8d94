#include "generator/window/Generator.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "common/NumberText.h"
#include "generator/files/ExportName.h"
#include "generator/files/FileBytes.h"
#include "generator/files/WaveFile.h"
#include "generator/files/PresetFile.h"
#include "generator/synth/FillBuffer.h"
#include "generator/script/RunScript.h"
#include "generator/script/ScriptPopup.h"
#include "generator/synth/Recompute.h"
#include "generator/window/AboutBox.h"
#include "generator/window/FreqPopup.h"
#include "generator/window/SettingsForm.h"
#include "generator/window/WaitForm.h"
#include "generator/window/WindowScriptHost.h"
#include "platform/Dialogs.h"
#include "platform/Help.h"

namespace orv {

namespace {

const QColor kStoppedColor(255, 0, 0);
const QColor kPlayingColor(0, 255, 0);
constexpr float kNoLimit = std::numeric_limits<float>::infinity();
constexpr const char* kFrequencyHint = "Change the Frequency in 100Hz Steps";
constexpr const char* kWaveFormHint = "Choose the Waveform of the Signal here";

QLineEdit* NewEdit(const char* text, int digits, QWidget* parent) {
    auto* edit = new QLineEdit(QString::fromLatin1(text), parent);
    const QFontMetrics metrics(edit->font());
    edit->setFixedWidth(metrics.horizontalAdvance(QString(digits, QLatin1Char('0'))) + 14);
    return edit;
}

QLabel* NewLabel(const QString& text, QWidget* parent) {
    return new QLabel(text, parent);
}

// A widget kept in the layout while hidden, so the fixed-size window has room
// for it when it is shown.
template <typename W>
W* Reserved(W* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
    return widget;
}

QComboBox* NewList(const QStringList& items, QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->addItems(items);
    return list;
}

}  // namespace

TGenerator::TGenerator(WaveOutService& service, char decimalSeparator, QWidget* parent)
    : QMainWindow(parent),
      DecimalSeparator(decimalSeparator),
      service_(service),
      audioOut_(std::make_unique<TAudioOut>(service)),
      scriptHost_(std::make_unique<WindowScriptHost>(*this)) {
    AudioOut1 = audioOut_.get();
    AudioOut1->SetFrameRate(22050);
    AudioOut1->SetStereo(true);
    AudioOut1->OnStart = [this](QObject*) { AudioOut1Start(); };
    AudioOut1->OnStop = [this](QObject*) { AudioOut1Stop(); };
    AudioOut1->OnFillBuffer = [this](uint8_t* buffer, int32_t& size) {
        return AudioOut1FillBuffer(buffer, size);
    };

    setWindowTitle(QStringLiteral("Orvana "));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    BuildControls();
    BuildMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    FormCreate();
    ConnectHandlers();
}

TGenerator::~TGenerator() {
    for (const auto& rule : exitRules_) rule.first->removeEventFilter(this);
    exitRules_.clear();
    for (QLineEdit* edit : MemoryEdits()) edit->removeEventFilter(this);
    AudioOut1->OnStart = nullptr;
    AudioOut1->OnStop = nullptr;
    AudioOut1->OnFillBuffer = nullptr;
    AudioOut1->StopNow();
}

QString TGenerator::GeneratorTitle() {
    return QStringLiteral("Orvana ") + QString::fromLatin1(kVersion);
}

void TGenerator::BuildControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* grid = new QGridLayout(central);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(6);

    // Signal type: constant frequency or sweep.
    SignalType = new TPageControl(central);
    Constant = new QWidget;
    Constant->setObjectName(QStringLiteral("Constant"));
    Sweep = new QWidget;
    Sweep->setObjectName(QStringLiteral("Sweep"));
    SignalType->addTab(Constant, QStringLiteral("Constant Frequency"));
    SignalType->addTab(Sweep, QStringLiteral("Frequency Sweep"));

    {
        auto* page = new QVBoxLayout(Constant);
        auto* group = new QGroupBox(QStringLiteral("Frequency "), Constant);
        auto* row = new QHBoxLayout(group);
        fEdit = NewEdit("1000", 11, group);
        fEdit->setToolTip(QStringLiteral("Set the Signal Frequency here"));
        UpDown2 = new TUpDown(fEdit, 10, 20000, 1000, DecimalSeparator, group);
        UpDown2->setToolTip(QString::fromLatin1(kFrequencyHint));
        row->addWidget(fEdit);
        row->addWidget(UpDown2);
        row->addWidget(NewLabel(QStringLiteral("Hz"), group));
        row->addStretch();
        page->addWidget(group);
        auto* buttons = new QHBoxLayout;
        SemiUp = new QPushButton(QStringLiteral("Semi tone up"), Constant);
        SemiUp->setToolTip(QStringLiteral("Raise the Frequency by one Semitone"));
        SemiDown = new QPushButton(QStringLiteral("Semi tone down"), Constant);
        SemiDown->setToolTip(QStringLiteral("Lower the Frequency by one Semitone"));
        buttons->addWidget(SemiUp);
        buttons->addWidget(SemiDown);
        page->addLayout(buttons);
        page->addStretch();
    }
    {
        auto* page = new QGridLayout(Sweep);
        fInit = NewEdit("100", 11, Sweep);
        fInit->setToolTip(QStringLiteral("Set the Sweep Start Frequency here"));
        UpDown3 = new TUpDown(fInit, 10, 22050, 100, DecimalSeparator, Sweep);
        UpDown3->setToolTip(QString::fromLatin1(kFrequencyHint));
        fFinal = NewEdit("1000", 11, Sweep);
        fFinal->setToolTip(QStringLiteral("Set the Sweep End Frequency here"));
        UpDown4 = new TUpDown(fFinal, 10, 22050, 1000, DecimalSeparator, Sweep);
        UpDown4->setToolTip(QString::fromLatin1(kFrequencyHint));
        page->addWidget(NewLabel(QStringLiteral("Initial"), Sweep), 0, 0);
        page->addWidget(fInit, 0, 1);
        page->addWidget(UpDown3, 0, 2);
        page->addWidget(NewLabel(QStringLiteral("Hz"), Sweep), 0, 3);
        page->addWidget(NewLabel(QStringLiteral("Final "), Sweep), 1, 0);
        page->addWidget(fFinal, 1, 1);
        page->addWidget(UpDown4, 1, 2);
        page->addWidget(NewLabel(QStringLiteral("Hz"), Sweep), 1, 3);
        Logarithmic = new QCheckBox(QStringLiteral("Logarithmic"), Sweep);
        Bidirectional = new QCheckBox(QStringLiteral("Bi-directional"), Sweep);
        page->addWidget(Logarithmic, 2, 0, 1, 4);
        page->addWidget(Bidirectional, 3, 0, 1, 4);
        page->setColumnStretch(4, 1);
        page->setRowStretch(4, 1);
    }
    grid->addWidget(SignalType, 0, 0, 1, 2);

    // Period.
    auto* period = new QGroupBox(QStringLiteral(" Period "), central);
    {
        auto* layout = new QGridLayout(period);
        Duration = NewEdit("3", 8, period);
        Duration->setToolTip(QStringLiteral("Sweep Duration"));
        layout->addWidget(Duration, 0, 0);
        layout->addWidget(NewLabel(QStringLiteral("s"), period), 0, 1);
        Loop = new QCheckBox(QStringLiteral("Loop"), period);
        Loop->setChecked(true);
        Loop->setToolTip(QStringLiteral("Switches the Sweep Loop On or Off"));
        layout->addWidget(Loop, 1, 0, 1, 2);
        layout->setRowStretch(2, 1);
    }
    grid->addWidget(period, 0, 2, Qt::AlignBottom);

    // Channels.
    auto* channels = new QGroupBox(QStringLiteral(" Channels "), central);
    {
        auto* layout = new QGridLayout(channels);
        mono = new QCheckBox(QStringLiteral("mono"), channels);
        mono->setChecked(true);
        mono->setToolTip(QStringLiteral("Play the same Signal on both Channels"));
        Lefttick = new QCheckBox(QStringLiteral("Left"), channels);
        Lefttick->setChecked(true);
        Lefttick->setEnabled(false);
        RightTick = new QCheckBox(QStringLiteral("Right"), channels);
        RightTick->setChecked(true);
        RightTick->setEnabled(false);
        PhaseEdit = NewEdit("0", 8, channels);
        PhaseEdit->setEnabled(false);
        layout->addWidget(mono, 0, 0, 1, 3);
        layout->addWidget(Lefttick, 1, 0, 1, 2);
        layout->addWidget(RightTick, 1, 2);
        layout->addWidget(NewLabel(QStringLiteral("Phase"), channels), 2, 0);
        layout->addWidget(PhaseEdit, 2, 1);
        layout->addWidget(NewLabel(QStringLiteral("\u00B0"), channels), 2, 2);
        layout->setRowStretch(3, 1);
    }
    grid->addWidget(channels, 0, 3, 1, 2, Qt::AlignBottom);

    // Amplitude.
    auto* amplitude = new QGroupBox(QStringLiteral(" Amplitude "), central);
    {
        auto* layout = new QGridLayout(amplitude);
        Amplitude = NewEdit("0", 5, amplitude);
        Amplitude->setToolTip(QStringLiteral("Sets the Amplitude of the generated Signal"));
        barAmplitude = new QSlider(Qt::Vertical, amplitude);
        barAmplitude->setRange(0, 100);
        barAmplitude->setValue(0);
        barAmplitude->setTickInterval(10);
        barAmplitude->setTickPosition(QSlider::TicksBothSides);
        // Position 0 stands at the top.
        barAmplitude->setInvertedAppearance(true);
        barAmplitude->setInvertedControls(true);
        layout->addWidget(Amplitude, 0, 0);
        layout->addWidget(NewLabel(QStringLiteral("dBFS"), amplitude), 0, 1);
        layout->addWidget(barAmplitude, 1, 0, 1, 2, Qt::AlignHCenter);
    }
    grid->addWidget(amplitude, 1, 0, 2, 1);

    // Modulation.
    auto* modulation = new QGroupBox(QStringLiteral(" Modulation "), central);
    {
        auto* layout = new QGridLayout(modulation);
        ModulationOn = new QCheckBox(QStringLiteral("Amplitude Modulation"), modulation);
        layout->addWidget(ModulationOn, 0, 0, 1, 5);
        label22 = Reserved(NewLabel(QStringLiteral("Left"), modulation));
        Label11 = Reserved(NewLabel(QStringLiteral("Right"), modulation));
        layout->addWidget(label22, 1, 1);
        layout->addWidget(Label11, 1, 3);
        Label1 = NewLabel(QStringLiteral("Period"), modulation);
        Label13 = NewLabel(QStringLiteral("Depth"), modulation);
        Label10 = NewLabel(QStringLiteral("Function"), modulation);
        Label14 = NewLabel(QStringLiteral("Phase"), modulation);
        ModPeriodLeftEdit = NewEdit("1", 6, modulation);
        ModPeriodRightEdit = Reserved(NewEdit("1", 6, modulation));
        ModDepthLeftEdit = NewEdit("100", 6, modulation);
        ModDepthRightEdit = Reserved(NewEdit("100", 6, modulation));
        const QStringList functions{QStringLiteral("Sine"), QStringLiteral("Cosine"),
                                    QStringLiteral("Square"), QStringLiteral("Triangular")};
        ModFunctionLeft = NewList(functions, modulation);
        ModFunctionRight = Reserved(NewList(functions, modulation));
        ModFunctionLeft->setToolTip(QString::fromLatin1(kWaveFormHint));
        ModFunctionRight->setToolTip(QString::fromLatin1(kWaveFormHint));
        ModPhaseLeftEdit = NewEdit("0", 6, modulation);
        ModPhaseRightEdit = Reserved(NewEdit("0", 6, modulation));
        Label15 = Reserved(NewLabel(QStringLiteral("s"), modulation));
        Label3 = Reserved(NewLabel(QStringLiteral("%"), modulation));
        layout->addWidget(Label1, 2, 0);
        layout->addWidget(ModPeriodLeftEdit, 2, 1);
        layout->addWidget(NewLabel(QStringLiteral("s"), modulation), 2, 2);
        layout->addWidget(ModPeriodRightEdit, 2, 3);
        layout->addWidget(Label15, 2, 4);
        layout->addWidget(Label13, 3, 0);
        layout->addWidget(ModDepthLeftEdit, 3, 1);
        layout->addWidget(NewLabel(QStringLiteral("%"), modulation), 3, 2);
        layout->addWidget(ModDepthRightEdit, 3, 3);
        layout->addWidget(Label3, 3, 4);
        layout->addWidget(Label10, 4, 0);
        layout->addWidget(ModFunctionLeft, 4, 1, 1, 2);
        layout->addWidget(ModFunctionRight, 4, 3, 1, 2);
        layout->addWidget(Label14, 5, 0);
        layout->addWidget(ModPhaseLeftEdit, 5, 1);
        layout->addWidget(ModPhaseRightEdit, 5, 3);
        for (QWidget* w : std::initializer_list<QWidget*>{
                 label22, Label11, Label15, Label3, ModPeriodRightEdit, ModDepthRightEdit,
                 ModFunctionRight, ModPhaseRightEdit})
            w->setVisible(false);
        layout->setRowStretch(6, 1);
    }
    grid->addWidget(modulation, 1, 1, 2, 2);

    // Wave function and output device.
    auto* waveFunction = new QGroupBox(QStringLiteral(" Wave Function "), central);
    {
        auto* layout = new QVBoxLayout(waveFunction);
        WaveForm = NewList({QStringLiteral("Sine"), QStringLiteral("Square"),
                            QStringLiteral("Triangular"), QStringLiteral("White noise")},
                           waveFunction);
        WaveForm->setToolTip(QString::fromLatin1(kWaveFormHint));
        layout->addWidget(WaveForm);
    }
    grid->addWidget(waveFunction, 1, 3, 1, 2);
    auto* outputDevice = new QGroupBox(QStringLiteral(" Output Device "), central);
    {
        auto* layout = new QVBoxLayout(outputDevice);
        WaveDevice = new QComboBox(outputDevice);
        WaveDevice->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        WaveDevice->setMinimumContentsLength(16);
        WaveDevice->setToolTip(QStringLiteral(
            "If you have more than one sound card, select your output device here"));
        layout->addWidget(WaveDevice);
    }
    grid->addWidget(outputDevice, 2, 3, 1, 2, Qt::AlignTop);

    // Memory presets.
    auto* memories = new QGroupBox(QStringLiteral("Memory Presets"), central);
    {
        auto* layout = new QHBoxLayout(memories);
        Mem1 = new QPushButton(QStringLiteral("Memory 1"), memories);
        Mem2 = new QPushButton(QStringLiteral("Memory 2"), memories);
        Memory3 = new QPushButton(QStringLiteral("Memory 3"), memories);
        Memory4 = new QPushButton(QStringLiteral("Memory 4"), memories);
        std::array<QLineEdit**, 4> edits{&Mem1Edit, &Mem2Edit, &Mem3Edit, &Mem4Edit};
        std::array<QPushButton*, 4> buttons{Mem1, Mem2, Memory3, Memory4};
        for (size_t i = 0; i < buttons.size(); ++i) {
            buttons[i]->setToolTip(
                QStringLiteral("Recall Stored Sweep Settings (Right-click to Store)"));
            layout->addWidget(buttons[i]);
            QLineEdit* edit = new QLineEdit(buttons[i]);
            *edits[i] = edit;
            edit->setFrame(false);
            edit->setAlignment(Qt::AlignCenter);
            QPalette face = edit->palette();
            face.setColor(QPalette::Base, buttons[i]->palette().color(QPalette::Button));
            edit->setPalette(face);
            edit->setVisible(false);
            edit->setEnabled(false);
        }
    }
    grid->addWidget(memories, 3, 0, 1, 3);

    // Sync and the three buttons framed by the indicator.
    auto* playback = new QVBoxLayout;
    chkSync = new QCheckBox(QStringLiteral("Sync all Generators"), central);
    chkSync->setToolTip(QStringLiteral(
        "If you have more than one ORV window open, all generators start and stop at the same time."));
    playback->addWidget(chkSync);
    LED = new TShape(kStoppedColor, central);
    {
        auto* row = new QHBoxLayout(LED);
        row->setContentsMargins(4, 3, 2, 3);
        row->setSpacing(2);
        btnOFF = new QPushButton(QStringLiteral("OFF"), LED);
        btnPause = new QPushButton(QStringLiteral("Pause"), LED);
        btnON = new QPushButton(QStringLiteral("ON"), LED);
        btnON->setToolTip(QStringLiteral("ON/OFF Switch"));
        btnOFF->setToolTip(QStringLiteral("ON/OFF Switch"));
        row->addWidget(btnOFF);
        row->addWidget(btnPause);
        row->addWidget(btnON);
        btnON->setDefault(true);
    }
    playback->addWidget(LED);
    playback->addStretch();
    grid->addLayout(playback, 3, 3, 1, 2);
}

void TGenerator::BuildMenus() {
    QMenuBar* bar = menuBar();
    const auto item = [this](QMenu* menu, const char* caption, QKeySequence key = {}) {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        action->setShortcut(key);
        return action;
    };

    File1 = bar->addMenu(QStringLiteral("&File"));
    OpenNewGeneratorWindow1 = item(File1, "&Open New Generator Window", Qt::CTRL | Qt::Key_N);
    File1->addSeparator();
    SaveWaveFile1 = item(File1, "Save Tone &As...", Qt::CTRL | Qt::Key_T);
    SaveWaveFile1->setStatusTip(QStringLiteral(
        "Saves the Signal as a PCM file (44.1kHz/16bit/stereo). This can be converted e.g. by Cool Edit."));
    File1->addSeparator();
    LoadSweepSettings1 = item(File1, "&Load Presets", Qt::CTRL | Qt::Key_L);
    SaveSweepSettingsAs1 = item(File1, "&Save Presets As...", Qt::CTRL | Qt::Key_S);
    File1->addSeparator();
    RunScript1 = item(File1, "&Run Script", Qt::CTRL | Qt::Key_R);
    File1->addSeparator();
    Exit1 = item(File1, "&Exit", Qt::CTRL | Qt::Key_X);

    Presets1 = bar->addMenu(QStringLiteral("&Presets"));
    const Qt::Key keys[4] = {Qt::Key_F5, Qt::Key_F6, Qt::Key_F7, Qt::Key_F8};
    for (int i = 0; i < 4; ++i)
        RecallMemoryItems[i] =
            item(Presets1, ("Recall Memory " + std::to_string(i + 1)).c_str(), keys[i]);
    Presets1->addSeparator();
    for (int i = 0; i < 4; ++i)
        StoreMemoryItems[i] = item(Presets1, ("Store Memory " + std::to_string(i + 1)).c_str(),
                                   Qt::SHIFT | keys[i]);

    QMenu** popups[4] = {&PopupMenu1, &PopupMenu2, &PopupMenu3, &PopupMenu4};
    QAction** stores[4] = {&Store, &Store2, &Store3, &Store4};
    QAction** renames[4] = {&Rename, &Rename1, &Rename2, &Rename3};
    const auto buttons = MemoryButtons();
    for (size_t i = 0; i < buttons.size(); ++i) {
        QMenu* popup = new QMenu(buttons[i]);
        *popups[i] = popup;
        *stores[i] = popup->addAction(QStringLiteral("Store"));
        *renames[i] = popup->addAction(QStringLiteral("Rename"));
        QPushButton* button = buttons[i];
        button->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(button, &QWidget::customContextMenuRequested, popup,
                [button, popup](const QPoint& at) { popup->popup(button->mapToGlobal(at)); });
    }

    Tools1 = bar->addMenu(QStringLiteral("&Tools"));
    FreqSlider1 = item(Tools1, "Show &Frequency Slider", Qt::CTRL | Qt::Key_F);
    FreqSlider1->setCheckable(true);
    Compatibilitysettings1 = item(Tools1, "&Compatibility Settings", Qt::CTRL | Qt::Key_C);
    // Ctrl+T belongs to "Save Tone As..."; here it is only shown.
    CompatibilityTest1 = item(Tools1, "Compatibility &Test\tCtrl+T");
    Tools1->addSeparator();
    OnOff1 = item(Tools1, "OFF", Qt::Key_F9);
    Pause1 = item(Tools1, "Pause", Qt::Key_F10);
    Off1 = item(Tools1, "ON", Qt::Key_F11);

    Help2 = bar->addMenu(QStringLiteral("&Help"));
    Help1 = item(Help2, "&Help", Qt::Key_F1);
    About2 = item(Help2, "&About this program...");
}

void TGenerator::OnExit(QWidget* control, void (TGenerator::*handler)()) {
    exitRules_[control] = handler;
    control->installEventFilter(this);
}

void TGenerator::ConnectHandlers() {
    connect(SignalType, &TPageControl::UserChange, this, &TGenerator::fEditChange);
    for (QLineEdit* edit : {fEdit, fInit, fFinal, Duration})
        connect(edit, &QLineEdit::textChanged, this, &TGenerator::fEditChange);
    OnExit(fEdit, &TGenerator::fEditExit);
    OnExit(fInit, &TGenerator::fInitExit);
    OnExit(fFinal, &TGenerator::fFinalExit);
    OnExit(Duration, &TGenerator::DurationExit);
    connect(SemiUp, &QPushButton::clicked, this, [this] { SemiUpClick(SemiUp); });
    connect(SemiDown, &QPushButton::clicked, this, [this] { SemiUpClick(SemiDown); });
    connect(Logarithmic, &QCheckBox::toggled, this, &TGenerator::LogarithmicClick);
    connect(Loop, &QCheckBox::toggled, this, &TGenerator::LoopClick);
    connect(mono, &QCheckBox::toggled, this, &TGenerator::monoClick);
    connect(Lefttick, &QCheckBox::toggled, this, &TGenerator::LefttickClick);
    connect(RightTick, &QCheckBox::toggled, this, &TGenerator::LefttickClick);
    connect(PhaseEdit, &QLineEdit::textChanged, this, &TGenerator::PhaseEditChange);
    OnExit(PhaseEdit, &TGenerator::PhaseEditExit);
    connect(WaveForm, &QComboBox::activated, this, &TGenerator::WaveFormChange);
    connect(Amplitude, &QLineEdit::textChanged, this, &TGenerator::AmplitudeChange);
    OnExit(Amplitude, &TGenerator::AmplitudeExit);
    connect(barAmplitude, &QSlider::valueChanged, this, &TGenerator::barAmplitudeChange);
    connect(WaveDevice, &QComboBox::activated, this, &TGenerator::WaveDeviceChange);
    OnExit(WaveDevice, &TGenerator::fEditChange);
    connect(ModulationOn, &QCheckBox::toggled, this, &TGenerator::ModulationOnClick);
    connect(ModPeriodLeftEdit, &QLineEdit::textChanged, this, &TGenerator::ModPeriodLeftEditChange);
    connect(ModPeriodRightEdit, &QLineEdit::textChanged, this, &TGenerator::ModPeriodRightEditChange);
    OnExit(ModPeriodLeftEdit, &TGenerator::ModPeriodLeftEditExit);
    OnExit(ModPeriodRightEdit, &TGenerator::ModPeriodRightEditExit);
    connect(ModDepthLeftEdit, &QLineEdit::textChanged, this, &TGenerator::ModDepthLeftEditChange);
    connect(ModDepthRightEdit, &QLineEdit::textChanged, this, &TGenerator::ModDepthRightEditChange);
    OnExit(ModDepthLeftEdit, &TGenerator::ModDepthLeftEditExit);
    OnExit(ModDepthRightEdit, &TGenerator::ModDepthRightEditExit);
    connect(ModFunctionLeft, &QComboBox::activated, this, &TGenerator::WaveFormChange);
    connect(ModFunctionRight, &QComboBox::activated, this, &TGenerator::WaveFormChange);
    connect(ModPhaseLeftEdit, &QLineEdit::textChanged, this, &TGenerator::ModPhaseLeftEditChange);
    connect(ModPhaseRightEdit, &QLineEdit::textChanged, this, &TGenerator::ModPhaseRightEditChange);
    OnExit(ModPhaseLeftEdit, &TGenerator::ModPhaseLeftEditExit);
    OnExit(ModPhaseRightEdit, &TGenerator::ModPhaseRightEditExit);

    connect(btnON, &QPushButton::clicked, this, &TGenerator::btnONClick);
    connect(btnOFF, &QPushButton::clicked, this, &TGenerator::btnOFFClick);
    connect(btnPause, &QPushButton::clicked, this, &TGenerator::btnPauseClick);
    connect(Off1, &QAction::triggered, this, &TGenerator::btnONClick);
    connect(OnOff1, &QAction::triggered, this, &TGenerator::btnOFFClick);
    connect(Pause1, &QAction::triggered, this, &TGenerator::btnPauseClick);

    const auto recall = std::to_array({&TGenerator::Memory11Click, &TGenerator::Mem2Click,
                                       &TGenerator::Memory3Click, &TGenerator::Memory4Click});
    const auto store = std::to_array({&TGenerator::StoreClick, &TGenerator::Store2Click,
                                      &TGenerator::Store3Click, &TGenerator::Store4Click});
    const auto rename = std::to_array({&TGenerator::RenameClick, &TGenerator::Rename1Click,
                                       &TGenerator::Rename2Click, &TGenerator::Rename3Click});
    const auto buttons = MemoryButtons();
    const std::array<QAction*, kMemoryCount> storeItems{Store, Store2, Store3, Store4};
    const std::array<QAction*, kMemoryCount> renameItems{Rename, Rename1, Rename2, Rename3};
    for (size_t i = 0; i < buttons.size(); ++i) {
        connect(buttons[i], &QPushButton::clicked, this, recall[i]);
        connect(RecallMemoryItems[i], &QAction::triggered, this, recall[i]);
        connect(StoreMemoryItems[i], &QAction::triggered, this, store[i]);
        connect(storeItems[i], &QAction::triggered, this, store[i]);
        connect(renameItems[i], &QAction::triggered, this, rename[i]);
    }
    for (QLineEdit* edit : MemoryEdits()) edit->installEventFilter(this);

    connect(LoadSweepSettings1, &QAction::triggered, this, &TGenerator::LoadSweepSettings1Click);
    connect(SaveSweepSettingsAs1, &QAction::triggered, this,
            &TGenerator::SaveSweepSettingsAs1Click);
    connect(SaveWaveFile1, &QAction::triggered, this, &TGenerator::SaveWaveFile1Click);
    connect(RunScript1, &QAction::triggered, this, &TGenerator::RunScript1Click);
    connect(Exit1, &QAction::triggered, this, &TGenerator::Exit1Click);
    connect(Help1, &QAction::triggered, this, &TGenerator::Help1Click);
    connect(About2, &QAction::triggered, this, &TGenerator::About2Click);
    connect(Compatibilitysettings1, &QAction::triggered, this,
            &TGenerator::Compatibilitysettings1Click);
    // Qt has moved the check mark already; the handler moves it itself.
    connect(FreqSlider1, &QAction::triggered, this, [this](bool checked) {
        FreqSlider1->setChecked(!checked);
        FreqSlider1Click();
    });
}

std::string TGenerator::Text(const QLineEdit* edit) const {
    return edit->text().toStdString();
}

void TGenerator::SetText(QLineEdit* edit, const std::string& text) {
    edit->setText(QString::fromStdString(text));
}

QPushButton* TGenerator::DefaultButton() const {
    for (QPushButton* b : {btnON, btnOFF})
        if (b->isDefault()) return b;
    return nullptr;
}

// ---- creation and activation ----

void TGenerator::FormCreate() {
    HelpFilePath = QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                   QString::fromLatin1(kHelpFileName);
    WaveForm->setCurrentIndex(0);
    ModFunctionLeft->setCurrentIndex(1);
    ModFunctionRight->setCurrentIndex(1);

    QStringList devices{QStringLiteral("Default")};
    for (const std::string& name : service_.DeviceNames())
        devices << QString::fromStdString(name);
    WaveDevice->clear();
    WaveDevice->addItems(devices);
    WaveDevice->setCurrentIndex(0);
    AudioOut1->SetWaveDevice(-1);

    fEditChange();
    ModulationOnClick();

    for (int n = 1; n <= kMemoryCount; ++n) {
        StoreMemory(n);
        Memories[n - 1].Name = "Memory " + std::to_string(n);
    }
}

void TGenerator::FormActivate() {
    setWindowTitle(GeneratorTitle());
    QGuiApplication::setApplicationDisplayName(GeneratorTitle());
}

bool TGenerator::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) FormActivate();
    return QMainWindow::event(event);
}

void TGenerator::closeEvent(QCloseEvent* event) {
    // A running script ends with the window rather than keep the program.
    if (ScriptPopup && ScriptPopup->isVisible()) ScriptPopup->Button2Click();
    AudioOut1->StopNow();
    event->accept();
    emit Closed();
}

void TGenerator::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // A focused button takes Return itself, as the default button would.
        auto* focused = qobject_cast<QPushButton*>(focusWidget());
        QPushButton* target = focused ? focused : DefaultButton();
        if (target && target->isEnabled()) {
            target->click();
            return;
        }
    }
    QMainWindow::keyPressEvent(event);
}

bool TGenerator::eventFilter(QObject* watched, QEvent* event) {
    const auto edits = MemoryEdits();
    for (size_t i = 0; i < edits.size(); ++i) {
        if (watched != edits[i]) continue;
        static constexpr std::array keyDown{
            &TGenerator::Mem1EditKeyDown, &TGenerator::Mem2EditKeyDown,
            &TGenerator::Mem3EditKeyDown, &TGenerator::Mem4EditKeyDown};
        static constexpr std::array exit{&TGenerator::Mem1EditExit, &TGenerator::Mem2EditExit,
                                         &TGenerator::Mem3EditExit, &TGenerator::Mem4EditExit};
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            (this->*keyDown[i])(key);
            // Return must not go on to the window's default button.
            if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
        } else if (event->type() == QEvent::FocusOut) {
            // Losing the focus to a menu or another window keeps the rename;
            // anything else inside the window, even being disabled, ends it.
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                (this->*exit[i])();
        }
        return QMainWindow::eventFilter(watched, event);
    }
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        auto* control = qobject_cast<QWidget*>(watched);
        // Switching to another window or opening a menu or list does not
        // leave the field; neither does the field being disabled.
        const bool leaves = reason != Qt::ActiveWindowFocusReason &&
                            reason != Qt::PopupFocusReason && control && control->isEnabled();
        const auto rule = exitRules_.find(watched);
        if (leaves && rule != exitRules_.end()) (this->*(rule->second))();
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- recomputation and field rules ----

RecomputeInput TGenerator::RecomputeInputs() const {
    RecomputeInput in;
    in.fEdit = Text(fEdit);
    in.fInit = Text(fInit);
    in.fFinal = Text(fFinal);
    in.Duration = Text(Duration);
    in.SweepPage = SignalType->currentWidget() == Sweep;
    in.Logarithmic = Logarithmic->isChecked();
    in.DecimalSeparator = DecimalSeparator;
    return in;
}

SynthSwitches TGenerator::Switches(bool monoLayout) const {
    SynthSwitches sw;
    sw.SweepPage = SignalType->currentWidget() == Sweep;
    sw.WaveForm = WaveForm->currentIndex();
    sw.Mono = monoLayout;
    sw.Loop = Loop->isChecked();
    sw.Bidirectional = Bidirectional->isChecked();
    sw.ModulationOn = ModulationOn->isChecked();
    sw.ModFunctionLeft = ModFunctionLeft->currentIndex();
    sw.ModFunctionRight = ModFunctionRight->currentIndex();
    return sw;
}

void TGenerator::fEditChange() {
    const RecomputeResult outcome = ::orv::fEditChange(State, RecomputeInputs());
    if (FreqPopup && outcome.SliderPosition) FreqPopup->SetSliderPosition(*outcome.SliderPosition);
    if (outcome.StopOutput) AudioOut1->StopNow();
}

void TGenerator::LogarithmicClick() {
    ::orv::LogarithmicClick(State, Logarithmic->isChecked());
}

void TGenerator::ClampField(QLineEdit* edit, float min, float max, float decimals,
                            float defaultValue) {
    SetText(edit, ClampNumberText(Text(edit), min, max, decimals, defaultValue, DecimalSeparator));
}

void TGenerator::fEditExit() {
    ClampField(fEdit, 0.1f, static_cast<float>(State.SampleRate) * 0.5f, 4, 1000);
}

void TGenerator::fInitExit() {
    ClampField(fInit, 0.1f, static_cast<float>(State.SampleRate) * 0.5f, 4, 1000);
}

void TGenerator::fFinalExit() {
    ClampField(fFinal, 0.1f, static_cast<float>(State.SampleRate) * 0.5f, 3, 1000);
}

void TGenerator::DurationExit() {
    ClampField(Duration, 0.1f, kNoLimit, 4, 1);
    fEditChange();
}

void TGenerator::AmplitudeChange() {
    ::orv::AmplitudeChange(State, Text(Amplitude));
}

void TGenerator::AmplitudeExit() {
    const std::string text = AmplitudeExitText(Text(Amplitude), DecimalSeparator);
    SetText(Amplitude, text);
    barAmplitude->setValue(-TextToInt(text).value_or(0));
}

void TGenerator::barAmplitudeChange() {
    SetText(Amplitude, IntToText(-static_cast<int64_t>(barAmplitude->value())));
}

void TGenerator::PhaseEditChange() {
    ::orv::PhaseEditChange(State, Text(PhaseEdit), DecimalSeparator);
}

void TGenerator::PhaseEditExit() {
    SetText(PhaseEdit, ::orv::PhaseEditExit(State, Text(PhaseEdit), DecimalSeparator));
}

void TGenerator::ModDepthLeftEditChange() {
    ModDepthChange(State.LeftModDepth, Text(ModDepthLeftEdit), DecimalSeparator);
}

void TGenerator::ModDepthRightEditChange() {
    ModDepthChange(State.RightModDepth, Text(ModDepthRightEdit), DecimalSeparator);
}

void TGenerator::ModDepthLeftEditExit() { ClampField(ModDepthLeftEdit, 0, 100, 4, 100); }

void TGenerator::ModDepthRightEditExit() { ClampField(ModDepthRightEdit, 0, 100, 4, 100); }

void TGenerator::ModPeriodEditChange(QLineEdit* edit, float& period) {
    if (ModPeriodChange(period, Text(edit), DecimalSeparator) && AudioOut1->Running()) {
        AudioOut1->StopNow();
        edit->setText(QStringLiteral("1"));
    }
}

void TGenerator::ModPeriodLeftEditChange() {
    ModPeriodEditChange(ModPeriodLeftEdit, State.LeftModPeriod);
}

void TGenerator::ModPeriodRightEditChange() {
    ModPeriodEditChange(ModPeriodRightEdit, State.RightModPeriod);
}

void TGenerator::ModPeriodLeftEditExit() {
    SetText(ModPeriodLeftEdit, ModPeriodExit(State.LeftModPeriod, Text(ModPeriodLeftEdit),
                                             DecimalSeparator));
}

void TGenerator::ModPeriodRightEditExit() {
    SetText(ModPeriodRightEdit, ModPeriodExit(State.RightModPeriod, Text(ModPeriodRightEdit),
                                              DecimalSeparator));
}

void TGenerator::ModPhaseLeftEditChange() {
    ModPhaseChange(State.LeftModPhase, Text(ModPhaseLeftEdit), DecimalSeparator);
}

void TGenerator::ModPhaseRightEditChange() {
    ModPhaseChange(State.RightModPhase, Text(ModPhaseRightEdit), DecimalSeparator);
}

void TGenerator::ModPhaseLeftEditExit() { ClampField(ModPhaseLeftEdit, 0, kNoLimit, 4, 0); }

void TGenerator::ModPhaseRightEditExit() { ClampField(ModPhaseRightEdit, 0, kNoLimit, 4, 0); }

void TGenerator::SemiUpClick(QObject* Sender) {
    const std::string text = Text(fEdit);
    const auto f = TextToFloat(text, DecimalSeparator);
    if (!f) {
        Dialogs::Get().Error(this, QStringLiteral("'%1' is not a valid floating point value")
                                       .arg(QString::fromStdString(text)));
        return;
    }
    const double semitone = std::pow(2.0, 1.0 / 12.0);
    const float next = static_cast<float>(Sender == SemiUp ? *f * semitone : *f / semitone);
    if (static_cast<float>(State.SampleRate) * 0.5f > next)
        SetText(fEdit, FloatToText(next, DecimalSeparator));
}

// ---- enabling and visibility ----

void TGenerator::monoClick() {
    if (mono->isChecked()) {
        Lefttick->setChecked(true);
        RightTick->setChecked(true);
        LefttickClick();
        PhaseEdit->setText(QStringLiteral("0"));
    }
    const bool stereo = !mono->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{Lefttick, RightTick, PhaseEdit})
        w->setEnabled(stereo);
    for (QWidget* w : std::initializer_list<QWidget*>{
             label22, Label15, Label3, Label11, ModFunctionRight, ModDepthRightEdit,
             ModPhaseRightEdit, ModPeriodRightEdit})
        w->setVisible(stereo);
}

void TGenerator::LefttickClick() {
    const bool bothOff = SetChannels(State, Lefttick->isChecked(), RightTick->isChecked());
    if (bothOff) AudioOut1->StopNow();
    for (QAction* a : {SaveWaveFile1, OnOff1}) a->setEnabled(!bothOff);
    btnON->setEnabled(!bothOff);
    PhaseEdit->setEnabled(State.LeftOn + State.RightOn == 2);
}

void TGenerator::WaveFormChange() {
    PhaseEdit->setEnabled(WaveForm->currentIndex() != 3 && !mono->isChecked());
}

void TGenerator::WaveDeviceChange() {
    AudioOut1->SetWaveDevice(WaveDevice->currentIndex() - 1);
}

void TGenerator::LoopClick() {
    Bidirectional->setEnabled(Loop->isChecked());
}

void TGenerator::ModulationOnClick() {
    const bool on = ModulationOn->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{
             Label1, Label10, Label13, Label14, Label11, label22, ModPeriodLeftEdit,
             ModPeriodRightEdit, ModDepthLeftEdit, ModDepthRightEdit, ModFunctionLeft,
             ModFunctionRight, ModPhaseLeftEdit, ModPhaseRightEdit})
        w->setEnabled(on);
    if (!on) State.ModGain = 1.0f;
    EnablePresets(true);
    AmplitudeExit();
}

void TGenerator::EnablePresets(bool enabled) {
    Presets1->menuAction()->setEnabled(enabled);
    // The items' short-cuts must follow the menu.
    for (QAction* a : Presets1->actions())
        if (!a->isSeparator()) a->setEnabled(enabled);
}

// ---- playback ----

void TGenerator::StartGenerator() {
    if (AudioOut1->Running()) return;
    fEditChange();
    State.FillBusy = false;
    State.SampleIndex = 0;
    State.Phase = 0.0;
    State.ModGain = 1.0f;
    AmplitudeExit();

    int32_t numBuffers = 4;
    int32_t bufferSize = 16384;
    if (SettingsForm) {
        if (SettingsForm->Buffers->currentIndex() >= 0)
            numBuffers = TextToInt(SettingsForm->Buffers->currentText().toStdString()).value_or(4);
        if (SettingsForm->BufferSize->currentIndex() >= 0)
            bufferSize =
                TextToInt(SettingsForm->BufferSize->currentText().toStdString()).value_or(16384);
    }
    AudioOut1->SetStereo(!mono->isChecked());
    AudioOut1->SetFrameRate(State.SampleRate);
    AudioOut1->SetNumBuffers(numBuffers);
    AudioOut1->SetBufferSize(bufferSize);
    if (!AudioOut1->StartPlayback(&AudioOut1))
        Dialogs::Get().Error(this, QStringLiteral("Audio Out failed because: \n") +
                                       QString::fromStdString(AudioOut1->ErrorText()));
    btnOFF->setFocus();
}

void TGenerator::btnONClick() {
    SyncMessage = kMsgOn;
    if (chkSync->isChecked()) {
        SyncBroadcast();
        raise();
        activateWindow();
    } else {
        StartGenerator();
    }
}

void TGenerator::btnOFFClick() {
    SyncMessage = kMsgOff;
    if (chkSync->isChecked())
        SyncBroadcast();
    else
        AudioOut1->StopNow();
    btnON->setFocus();
}

void TGenerator::btnPauseClick() {
    SyncMessage = kMsgPause;
    if (chkSync->isChecked())
        SyncBroadcast();
    else
        TogglePause();
}

void TGenerator::TogglePause() {
    AudioOut1->SetPaused(!AudioOut1->Paused());
    SetPauseBold(AudioOut1->Paused());
}

void TGenerator::SetPauseBold(bool bold) {
    QFont font = btnPause->font();
    font.setBold(bold);
    btnPause->setFont(font);
}

void TGenerator::LockWhilePlaying(bool locked) {
    for (QWidget* w : std::initializer_list<QWidget*>{
             mono, WaveDevice, Duration, Loop, Bidirectional, Logarithmic, fInit, fFinal,
             Amplitude, Mem1, Mem2, Memory3, Memory4})
        w->setEnabled(!locked);
    EnablePresets(!locked);
}

void TGenerator::AudioOut1Start() {
    btnOFF->setDefault(true);
    btnON->setDefault(false);
    LED->SetColor(kPlayingColor);
    Playing = true;
    LockWhilePlaying(true);
}

void TGenerator::AudioOut1Stop() {
    SetPauseBold(false);
    btnOFF->setDefault(false);
    btnON->setDefault(true);
    LED->SetColor(kStoppedColor);
    Playing = false;
    LockWhilePlaying(false);
}

bool TGenerator::AudioOut1FillBuffer(uint8_t* Buffer, int32_t& Size) {
    // The device format was fixed at the start.
    const SynthSwitches sw = Switches(!AudioOut1->Stereo());
    switch (::orv::AudioOut1FillBuffer(State, sw, Buffer, Size, noise_)) {
    case FillResult::More:
    // The buffer holding the end of a single pass is played too, so a pass
    // is heard whole and one shorter than a buffer can start at all.
    case FillResult::PassEnded:
        return true;
    case FillResult::Silent:
        return false;
    case FillResult::Busy:
        AudioOut1->StopNow();
        Dialogs::Get().Information(this, QString::fromLatin1(kPerformanceMessage));
        return false;
    }
    return false;
}

void TGenerator::SyncBroadcast() {
    // Only windows that carry the generator title take part.
    if (windowTitle() == GeneratorTitle()) ControlMessage(SyncMessage, 0, 0);
}

void TGenerator::ControlMessage(int32_t Msg, int32_t, int32_t) {
    switch (Msg) {
    case kMsgOn:
        StartGenerator();
        break;
    case kMsgOff:
        if (AudioOut1->Running()) AudioOut1->StopNow();
        break;
    case kMsgPause:
        TogglePause();
        break;
    default:
        break;
    }
}

// ---- memories ----

std::array<QPushButton*, kMemoryCount> TGenerator::MemoryButtons() const {
    return {Mem1, Mem2, Memory3, Memory4};
}

std::array<QLineEdit*, kMemoryCount> TGenerator::MemoryEdits() const {
    return {Mem1Edit, Mem2Edit, Mem3Edit, Mem4Edit};
}

void TGenerator::StoreMemory(int32_t n) {
    if (n < 1 || n > kMemoryCount) return;
    MemoryRecord& m = Memories[n - 1];
    m.fInit = Text(fInit);
    m.fFinal = Text(fFinal);
    m.fEdit = Text(fEdit);
    m.Duration = Text(Duration);
    m.Amplitude = Text(Amplitude);
    m.WaveForm = WaveForm->currentIndex();
    m.Loop = Loop->isChecked();
    m.mono = mono->isChecked();
    m.Lefttick = Lefttick->isChecked();
    m.RightTick = RightTick->isChecked();
    m.PhaseEdit = Text(PhaseEdit);
    m.Logarithmic = Logarithmic->isChecked();
    m.Bidirectional = Bidirectional->isChecked();
    m.ActivePage = SignalType->currentWidget() == Sweep ? SignalPage::Sweep : SignalPage::Constant;
    m.ModulationOn = ModulationOn->isChecked();
    m.ModPeriodLeft = Text(ModPeriodLeftEdit);
    m.ModPeriodRight = Text(ModPeriodRightEdit);
    m.ModDepthLeft = Text(ModDepthLeftEdit);
    m.ModDepthRight = Text(ModDepthRightEdit);
    m.ModFunctionLeft = ModFunctionLeft->currentIndex();
    m.ModFunctionRight = ModFunctionRight->currentIndex();
    m.ModPhaseLeft = Text(ModPhaseLeftEdit);
    m.ModPhaseRight = Text(ModPhaseRightEdit);
}

// Every write runs the control's own handler, as typing would; the page and
// the lists are set by code and run none.
void TGenerator::RecallMemory(int32_t n) {
    if (n < 1 || n > kMemoryCount) return;
    if (AudioOut1->Running()) AudioOut1->StopNow();
    const MemoryRecord m = Memories[n - 1];
    const auto item = [](int32_t raw) { return ValidItemIndex(raw).value_or(-1); };
    SignalType->setCurrentWidget(m.ActivePage == SignalPage::Sweep ? Sweep : Constant);
    SetText(fEdit, m.fEdit);
    SetText(Duration, m.Duration);
    SetText(Amplitude, m.Amplitude);
    WaveForm->setCurrentIndex(item(m.WaveForm));
    Loop->setChecked(m.Loop);
    mono->setChecked(m.mono);
    Lefttick->setChecked(m.Lefttick);
    RightTick->setChecked(m.RightTick);
    SetText(PhaseEdit, m.PhaseEdit);
    Logarithmic->setChecked(m.Logarithmic);
    Bidirectional->setChecked(m.Bidirectional);
    ModulationOn->setChecked(m.ModulationOn);
    SetText(ModPeriodLeftEdit, m.ModPeriodLeft);
    SetText(ModPeriodRightEdit, m.ModPeriodRight);
    SetText(ModDepthLeftEdit, m.ModDepthLeft);
    SetText(ModDepthRightEdit, m.ModDepthRight);
    ModFunctionLeft->setCurrentIndex(item(m.ModFunctionLeft));
    ModFunctionRight->setCurrentIndex(item(m.ModFunctionRight));
    SetText(ModPhaseLeftEdit, m.ModPhaseLeft);
    SetText(ModPhaseRightEdit, m.ModPhaseRight);
    SetText(fInit, m.fInit);
    SetText(fFinal, m.fFinal);
    // The intermediate recomputations saw half-recalled values.
    fEditChange();
}

void TGenerator::Memory11Click() { RecallMemory(1); }
void TGenerator::Mem2Click() { RecallMemory(2); }
void TGenerator::Memory3Click() { RecallMemory(3); }
void TGenerator::Memory4Click() { RecallMemory(4); }

void TGenerator::StoreClick() { StoreMemory(1); }
void TGenerator::Store2Click() { StoreMemory(2); }
void TGenerator::Store3Click() { StoreMemory(3); }
void TGenerator::Store4Click() { StoreMemory(4); }

void TGenerator::RenameClick() { BeginRename(1); }
void TGenerator::Rename1Click() { BeginRename(2); }
void TGenerator::Rename2Click() { BeginRename(3); }
void TGenerator::Rename3Click() { BeginRename(4); }

void TGenerator::Mem1EditKeyDown(int Key) { RenameKeyDown(1, Key); }
void TGenerator::Mem2EditKeyDown(int Key) { RenameKeyDown(2, Key); }
void TGenerator::Mem3EditKeyDown(int Key) { RenameKeyDown(3, Key); }
void TGenerator::Mem4EditKeyDown(int Key) { RenameKeyDown(4, Key); }

void TGenerator::Mem1EditExit() { EndRename(1); }
void TGenerator::Mem2EditExit() { EndRename(2); }
void TGenerator::Mem3EditExit() { EndRename(3); }
void TGenerator::Mem4EditExit() { EndRename(4); }

void TGenerator::BeginRename(int n) {
    // One rename at a time: another one in progress takes its text first,
    // so it cannot make ON the default button again behind this one.
    for (int other = 1; other <= kMemoryCount; ++other)
        if (other != n) EndRename(other);
    QPushButton* button = MemoryButtons()[n - 1];
    QLineEdit* edit = MemoryEdits()[n - 1];
    btnON->setDefault(false);
    button->setText(QString());
    edit->setText(button->text());
    const int height = std::min(edit->sizeHint().height(), button->height());
    edit->setGeometry(4, (button->height() - height) / 2, std::max(button->width() - 8, 1), height);
    edit->setVisible(true);
    edit->setEnabled(true);
    edit->setFocus(Qt::OtherFocusReason);
}

void TGenerator::RenameKeyDown(int n, int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) EndRename(n);
}

void TGenerator::EndRename(int n) {
    QLineEdit* edit = MemoryEdits()[n - 1];
    // Hiding the edit moves the focus on, which must not end it twice.
    if (edit->isHidden()) return;
    MemoryButtons()[n - 1]->setText(edit->text());
    Memories[n - 1].Name = edit->text().toStdString();
    btnON->setDefault(true);
    edit->setVisible(false);
    edit->setEnabled(false);
}

// ---- preset files ----

bool TGenerator::LoadPresetFile(const QString& FileName) {
    std::string bytes;
    const FileResult read = ReadFileBytes(QFile::encodeName(FileName).toStdString(), bytes);
    if (!read.Ok) {
        Dialogs::Get().Error(this, QString::fromStdString(read.ErrorText));
        return false;
    }
    MemorySlots loaded = Memories;
    const PresetLoadResult result = ReadPresetBytes(bytes, loaded);
    if (result.Status == PresetLoadStatus::WrongFormat) {
        Dialogs::Get().Information(this, QString::fromUtf8(kWrongFileFormat));
        return true;
    }
    // What was read before a bad number line stays loaded.
    Memories = loaded;
    if (!result.Ok()) {
        Dialogs::Get().Error(this, QString::fromUtf8(result.Message()));
        return false;
    }
    const auto buttons = MemoryButtons();
    for (size_t i = 0; i < buttons.size(); ++i)
        buttons[i]->setText(QString::fromStdString(Memories[i].Name));
    return true;
}

void TGenerator::LoadSweepSettings1Click() {
    AudioOut1->StopNow();
    FileDialogRequest request;
    request.Filter = QStringLiteral("Orvana Presets|*.orv");
    request.DefaultExtension = QStringLiteral("orv");
    const std::optional<QString> name = Dialogs::Get().OpenFile(this, request);
    // A load that stopped at an error leaves the page as it was.
    if (name && !LoadPresetFile(*name)) return;
    SignalType->setCurrentWidget(Sweep);
}

void TGenerator::SaveSweepSettingsAs1Click() {
    AudioOut1->StopNow();
    FileDialogRequest request;
    request.Filter = QStringLiteral("ORV presets|*.orv");
    request.DefaultExtension = QStringLiteral("orv");
    const std::optional<QString> name = Dialogs::Get().SaveFile(this, request);
    if (!name) return;
    // The old file stays whole until the new one is complete.
    const FileResult saved =
        ReplaceFileBytes(QFile::encodeName(*name).toStdString(), WritePresetBytes(Memories));
    if (!saved.Ok) Dialogs::Get().Error(this, QString::fromStdString(saved.ErrorText));
}

// ---- menu commands ----

void TGenerator::Exit1Click() {
    if (AudioOut1->Running()) AudioOut1->StopNow();
    close();
}

void TGenerator::Help1Click() {
    ShowHelpTopic(HelpFilePath, QStringLiteral("IDH_1"));
}

void TGenerator::About2Click() {
    AboutBox->HelpFile = HelpFilePath;
    setEnabled(false);
    AboutBox->show();
    AboutBox->raise();
    AboutBox->activateWindow();
}

void TGenerator::Compatibilitysettings1Click() {
    if (!SettingsForm) return;
    if (AudioOut1->Running()) AudioOut1->StopNow();
    setEnabled(false);
    SettingsForm->show();
    SettingsForm->raise();
    SettingsForm->activateWindow();
}

ScriptHost& TGenerator::ScriptControls() { return *scriptHost_; }

void TGenerator::RunScript1Click() {
    AudioOut1->StopNow();
    if (const std::optional<QString> name = AskForScriptFile(this)) RunScript(*name);
    ScriptPopup->HelpFile = HelpFilePath;
}

bool TGenerator::RunScript(const QString& FileName) {
    ScriptPopup->HelpFile = HelpFilePath;
    return ::orv::RunScript(*scriptHost_, FileName) == ScriptEnd::Finished;
}

void TGenerator::SaveWaveFile1Click() {
    AudioOut1->StopNow();
    ExportNameInput in;
    in.WaveForm = WaveForm->currentIndex();
    in.ConstantPage = SignalType->currentWidget() == Constant;
    in.fEdit = Text(fEdit);
    in.fInit = Text(fInit);
    in.fFinal = Text(fFinal);
    in.Duration = Text(Duration);
    in.Amplitude = Text(Amplitude);
    in.PhaseEdit = Text(PhaseEdit);
    in.Mono = mono->isChecked();
    in.LeftTick = Lefttick->isChecked();
    in.RightTick = RightTick->isChecked();
    FileDialogRequest request;
    request.Filter = QStringLiteral("WAVE file|*.wav");
    request.DefaultExtension = QStringLiteral("wav");
    request.FileName = QString::fromStdString(ProposedWaveFileName(in));
    request.AskBeforeReplacing = true;
    if (const std::optional<QString> name = Dialogs::Get().SaveFile(this, request)) WriteWaveFile(*name);
}

void TGenerator::WriteWaveFile(const QString& FileName) {
    const bool monoLayout = mono->isChecked();
    switch (PrepareWaveExport(State, RecomputeInputs(), monoLayout)) {
        case ExportStatus::DurationNotANumber:
            Dialogs::Get().Error(this, QStringLiteral("'%1' is not a valid floating point value")
                                           .arg(Duration->text()));
            return;
        case ExportStatus::SettingsRefused:
            Dialogs::Get().Error(this, QString::fromUtf8(kExportSettingsRefused));
            return;
        case ExportStatus::TooLong:
            Dialogs::Get().Error(this, QString::fromUtf8(kExportTooLong));
            return;
        default: break;
    }

    WaitForm->ProgressBar1->setValue(0);
    setEnabled(false);
    WaitForm->show();
    WaitForm->raise();
    // Long enough for both windows to be drawn before the render holds the
    // event queue.
    QElapsedTimer drawn;
    drawn.start();
    do QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    while (drawn.elapsed() < 100);

    const RenderProgress progress = [this, monoLayout](int32_t percent, SynthSwitches& sw) {
        if (WaitForm->isVisible()) {
            WaitForm->ProgressBar1->setValue(percent);
            QCoreApplication::processEvents();
            // What the messages changed acts on the rest of the render.
            sw = Switches(monoLayout);
        }
        return !ExportCancelled;
    };
    const ExportStatus written = ::orv::WriteWaveFile(QFile::encodeName(FileName).toStdString(), State,
                                                      Switches(monoLayout), noise_, progress);
    if (written == ExportStatus::Cancelled) ExportCancelled = false;
    WaitForm->hide();
    setEnabled(true);
    raise();
    activateWindow();
    if (written == ExportStatus::WriteFailed)
        Dialogs::Get().Error(this, QString::fromUtf8(kFileAccessError));
}

void TGenerator::FreqSlider1Click() {
    FreqSlider1->setChecked(!FreqSlider1->isChecked());
    if (FreqPopup) FreqPopup->ShowOrHide(FreqSlider1->isChecked());
}

}  // namespace orv
