#pragma once
// The program's help: an HTML file with one anchor per topic ("IDH_1" ...),
// shown in a help window of the program.
#include <QString>

namespace orv {

// Opens (or raises) the one help window at the topic's anchor. The window is
// not modal and does not keep the program running once its other windows are
// closed. A missing file shows a page saying so instead of failing silently.
void ShowHelpTopic(const QString& helpFile, const QString& topic);

// The topic the help window shows now, empty while it is closed; for tests.
QString ShownHelpTopic();

}  // namespace orv
