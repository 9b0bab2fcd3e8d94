#include "platform/Help.h"

#include <QCoreApplication>
#include <QFile>
#include <QPointer>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWidget>

namespace orv {

namespace {

class HelpWindow : public QWidget {
public:
    HelpWindow()
    {
        setObjectName(QStringLiteral("HelpWindow"));
        setWindowTitle(QStringLiteral("Orvana Help"));
        // Closing the generator must end the program even while help is open.
        setAttribute(Qt::WA_QuitOnClose, false);
        browser_ = new QTextBrowser(this);
        browser_->setObjectName(QStringLiteral("HelpBrowser"));
        browser_->setOpenLinks(true);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(browser_);
        resize(640, 560);
    }

    void Show(const QString& helpFile, const QString& topic)
    {
        topic_ = topic;
        show();
        raise();
        activateWindow();
        QFile file(helpFile);
        if (file.open(QIODevice::ReadOnly)) {
            browser_->setHtml(QString::fromUtf8(file.readAll()));
            browser_->scrollToAnchor(topic);
        } else {
            browser_->setHtml(QStringLiteral("<h2>Help is not available</h2><p>The help file <b>%1</b> was not found.</p>")
                                  .arg(helpFile.toHtmlEscaped()));
        }
    }

    QString Topic() const { return isVisible() ? topic_ : QString(); }

private:
    QTextBrowser* browser_;
    QString topic_;
};

QPointer<HelpWindow>& Window()
{
    static QPointer<HelpWindow> window;
    return window;
}

}  // namespace

void ShowHelpTopic(const QString& helpFile, const QString& topic)
{
    auto& window = Window();
    if (!window) {
        window = new HelpWindow;
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, window, &QObject::deleteLater);
    }
    window->Show(helpFile, topic);
}

QString ShownHelpTopic()
{
    const auto& window = Window();
    return window ? window->Topic() : QString();
}

}  // namespace orv
