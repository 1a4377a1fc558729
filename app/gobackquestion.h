#pragma once

#include <QString>

class QWidget;

// Asks "Go back to the previous configuration?" after a transmission that failed once part
// of it had reached the switch: "Go back" (the default) or "Leave it". True for Go back.
// `detail` stands below the question (where the restore point is).
bool askToGoBack(QWidget *parent, const QString &text, const QString &detail);
