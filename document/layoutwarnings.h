#pragma once

#include "document/layoutcheck.h"

#include <QString>
#include <QStringList>

// What the window tells the operator about a layout that loads but cannot work: the
// problems of the channels the switch model has. Entries beyond the channel count are
// what an earlier, larger configuration left behind; they are neither shown nor sent.
QList<LayoutProblem> operatorLayoutCheck(const Configuration &config);

// After Open or a readout: the errors, one to a line; empty when there are none.
// Notices (a screen without resolution) are left to the marks on the canvas.
QString layoutProblemsMessage(const Configuration &config);
// Before a transmission: the errors and the question whether to send all the same;
// empty when there are none.
QString layoutProblemsQuestion(const Configuration &config);
