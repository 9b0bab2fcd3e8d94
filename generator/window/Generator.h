#pragma once
// The generator's main window: every control that describes the signal, the
// menus, and the handlers that keep SynthState and the output in step with
// the controls.
#include <QColor>
#include <QMainWindow>
#include <QString>

#include <array>
#include <cstdint>
#include <map>
#include <memory>

#include "generator/audioout/AudioIO.h"
#include "generator/files/MemoryRecord.h"
#include "generator/synth/Recompute.h"
#include "generator/synth/Samples.h"
#include "generator/synth/SynthState.h"
#include "generator/window/Controls.h"
#include "generator/window/UpDown.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSlider;

namespace orv {

class ScriptHost;
class TAboutBox;
class TFreqPopup;
class TScriptPopup;
class TWaitForm;
class WindowScriptHost;
class TSettingsForm;

inline constexpr const char* kVersion = "3.21";
inline constexpr const char* kHelpFileName = "ORV.html";

// Control message numbers of the ON, OFF and Pause commands.
inline constexpr int32_t WM_USER = 1024;
inline constexpr int32_t kMsgOn = WM_USER + 0;
inline constexpr int32_t kMsgOff = WM_USER + 1;
inline constexpr int32_t kMsgPause = WM_USER + 2;

class TGenerator : public QMainWindow {
    Q_OBJECT
public:
    TGenerator(WaveOutService& service, char decimalSeparator, QWidget* parent = nullptr);
    ~TGenerator() override;

    // "Orvana 3.21", the title generators find each other by.
    static QString GeneratorTitle();

    // Page control and its pages.
    TPageControl* SignalType;
    QWidget* Constant;
    QWidget* Sweep;
    // Constant page.
    QLineEdit* fEdit;
    TUpDown* UpDown2;
    QPushButton* SemiUp;
    QPushButton* SemiDown;
    // Sweep page.
    QLineEdit* fInit;
    TUpDown* UpDown3;
    QLineEdit* fFinal;
    TUpDown* UpDown4;
    QCheckBox* Logarithmic;
    QCheckBox* Bidirectional;
    // Period.
    QLineEdit* Duration;
    QCheckBox* Loop;
    // Channels.
    QCheckBox* mono;
    QCheckBox* Lefttick;
    QCheckBox* RightTick;
    QLineEdit* PhaseEdit;
    // Wave function, amplitude, output device.
    QComboBox* WaveForm;
    QLineEdit* Amplitude;
    QSlider* barAmplitude;
    QComboBox* WaveDevice;
    // Modulation.
    QCheckBox* ModulationOn;
    QLineEdit* ModPeriodLeftEdit;
    QLineEdit* ModPeriodRightEdit;
    QLineEdit* ModDepthLeftEdit;
    QLineEdit* ModDepthRightEdit;
    QComboBox* ModFunctionLeft;
    QComboBox* ModFunctionRight;
    QLineEdit* ModPhaseLeftEdit;
    QLineEdit* ModPhaseRightEdit;
    QLabel* label22;
    QLabel* Label11;
    QLabel* Label15;
    QLabel* Label3;
    QLabel* Label1;
    QLabel* Label13;
    QLabel* Label10;
    QLabel* Label14;
    // Memory presets.
    QPushButton* Mem1;
    QPushButton* Mem2;
    QPushButton* Memory3;
    QPushButton* Memory4;
    QLineEdit* Mem1Edit;
    QLineEdit* Mem2Edit;
    QLineEdit* Mem3Edit;
    QLineEdit* Mem4Edit;
    // Each button's right-click menu: "Store" and "Rename".
    QMenu* PopupMenu1;
    QMenu* PopupMenu2;
    QMenu* PopupMenu3;
    QMenu* PopupMenu4;
    QAction* Store;
    QAction* Rename;
    QAction* Store2;
    QAction* Rename1;
    QAction* Store3;
    QAction* Rename2;
    QAction* Store4;
    QAction* Rename3;
    // Playback.
    QCheckBox* chkSync;
    TShape* LED;
    QPushButton* btnOFF;
    QPushButton* btnPause;
    QPushButton* btnON;

    // Menus.
    QMenu* File1;
    QAction* OpenNewGeneratorWindow1;
    QAction* SaveWaveFile1;
    QAction* LoadSweepSettings1;
    QAction* SaveSweepSettingsAs1;
    QAction* RunScript1;
    QAction* Exit1;
    QMenu* Presets1;
    std::array<QAction*, 4> RecallMemoryItems{};
    std::array<QAction*, 4> StoreMemoryItems{};
    QMenu* Tools1;
    QAction* FreqSlider1;
    QAction* Compatibilitysettings1;
    QAction* CompatibilityTest1;
    QAction* OnOff1;
    QAction* Pause1;
    QAction* Off1;
    QMenu* Help2;
    QAction* Help1;
    QAction* About2;

    TAudioOut* AudioOut1;
    SynthState State;
    bool Playing = false;
    int32_t SyncMessage = 0;
    QString HelpFilePath;
    const char DecimalSeparator;
    TSettingsForm* SettingsForm = nullptr;   // set by the settings window itself
    // Created at start-up with ScriptControls(), right after this window.
    TScriptPopup* ScriptPopup = nullptr;
    TWaitForm* WaitForm = nullptr;           // set by the progress window itself
    TFreqPopup* FreqPopup = nullptr;         // set by the slider window itself
    TAboutBox* AboutBox = nullptr;           // set by the About window itself
    // Slot n is Memories[n - 1].
    MemorySlots Memories;

    QColor LEDColor() const { return LED->Color(); }
    QPushButton* DefaultButton() const;

    // Creation and activation.
    void FormCreate();
    void FormActivate();

    // Recomputation and field rules.
    void fEditChange();
    void LogarithmicClick();
    void fEditExit();
    void fInitExit();
    void fFinalExit();
    void DurationExit();
    void AmplitudeChange();
    void AmplitudeExit();
    void barAmplitudeChange();
    void PhaseEditChange();
    void PhaseEditExit();
    void ModDepthLeftEditChange();
    void ModDepthRightEditChange();
    void ModDepthLeftEditExit();
    void ModDepthRightEditExit();
    void ModPeriodLeftEditChange();
    void ModPeriodRightEditChange();
    void ModPeriodLeftEditExit();
    void ModPeriodRightEditExit();
    void ModPhaseLeftEditChange();
    void ModPhaseRightEditChange();
    void ModPhaseLeftEditExit();
    void ModPhaseRightEditExit();
    void SemiUpClick(QObject* Sender);

    // Enabling and visibility rules.
    void monoClick();
    void LefttickClick();
    void WaveFormChange();
    void WaveDeviceChange();
    void LoopClick();
    void ModulationOnClick();

    // Playback.
    void StartGenerator();
    void btnONClick();
    void btnOFFClick();
    void btnPauseClick();
    void AudioOut1Start();
    void AudioOut1Stop();
    bool AudioOut1FillBuffer(uint8_t* Buffer, int32_t& Size);
    void SyncBroadcast();
    // A control message (number, wParam, lParam) as another generator sends it.
    void ControlMessage(int32_t Msg, int32_t WParam, int32_t LParam);

    // Memories 1 to 4; other slot numbers are ignored.
    void StoreMemory(int32_t n);
    void RecallMemory(int32_t n);
    void Memory11Click();
    void Mem2Click();
    void Memory3Click();
    void Memory4Click();
    void StoreClick();
    void Store2Click();
    void Store3Click();
    void Store4Click();
    void RenameClick();
    void Rename1Click();
    void Rename2Click();
    void Rename3Click();
    void Mem1EditKeyDown(int Key);
    void Mem2EditKeyDown(int Key);
    void Mem3EditKeyDown(int Key);
    void Mem4EditKeyDown(int Key);
    void Mem1EditExit();
    void Mem2EditExit();
    void Mem3EditExit();
    void Mem4EditExit();

    // Preset files. LoadPresetFile shows what went wrong itself; false when
    // the file could not be read or a number line stopped the load.
    bool LoadPresetFile(const QString& FileName);
    void LoadSweepSettings1Click();
    void SaveSweepSettingsAs1Click();

    // Scripts. RunScript returns when the run has ended; false when the
    // file could not be read or a line did not convert.
    ScriptHost& ScriptControls();
    void RunScript1Click();
    bool RunScript(const QString& FileName);

    // WAVE export.
    void SaveWaveFile1Click();
    void WriteWaveFile(const QString& FileName);

    // Menu commands.
    void Exit1Click();
    void Help1Click();
    void About2Click();
    void Compatibilitysettings1Click();
    void FreqSlider1Click();

signals:
    void Closed();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    RecomputeInput RecomputeInputs() const;
    // The switches the sample functions read, for a fixed channel layout.
    SynthSwitches Switches(bool monoLayout) const;
    void BuildMenus();
    void ConnectHandlers();
    void OnExit(QWidget* control, void (TGenerator::*handler)());
    void ClampField(QLineEdit* edit, float min, float max, float decimals, float defaultValue);
    void ModPeriodEditChange(QLineEdit* edit, float& period);
    void TogglePause();
    void SetPauseBold(bool bold);
    void LockWhilePlaying(bool locked);
    void EnablePresets(bool enabled);
    std::array<QPushButton*, kMemoryCount> MemoryButtons() const;
    std::array<QLineEdit*, kMemoryCount> MemoryEdits() const;
    void BeginRename(int n);
    void RenameKeyDown(int n, int key);
    void EndRename(int n);
    std::string Text(const QLineEdit* edit) const;
    void SetText(QLineEdit* edit, const std::string& text);

    WaveOutService& service_;
    std::unique_ptr<TAudioOut> audioOut_;
    std::unique_ptr<WindowScriptHost> scriptHost_;
    NoiseSource noise_;
    std::map<QObject*, void (TGenerator::*)()> exitRules_;
};

}  // namespace orv
