#pragma once

#include "document/configuration.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSize>
#include <QString>

// A PDF record of a configuration for the operator's files: the layout as the printed
// page draws it, the settings, the file, the last exchange with a switch and a table of
// the channels. Its texts are real text in the PDF, in the current language.
class ConfigRecord
{
    Q_DECLARE_TR_FUNCTIONS(ConfigRecord)

public:
    // The last exchange with a switch, in words.
    struct Exchange
    {
        bool happened = false; // false: the record says "none"
        QString port;
        QString time;
        QString outcome;
        QString verified;
    };

    Configuration config;
    QString fileName;          // the .ovs file; empty when it was never saved
    bool modified = false;     // changed since the file was saved
    bool withExchange = false; // ovsctl knows of no exchange and leaves the section out
    Exchange exchange;
    // The canvas, for the drawing of the layout (see drawLayoutPage()).
    int cellWidth = 46;
    int cellHeight = 46;
    QSize visibleArea = QSize(16 * 46, 10 * 46);
    QDateTime created = QDateTime::currentDateTime();

    // The PDF, two A4 landscape pages: the layout, then the settings and the table. Empty
    // when it could not be painted.
    QByteArray toPdf() const;
    // Writes the PDF to `path` in one step: on any failure nothing is left there, or the
    // old file stays as it was. Refuses to replace anything but a regular file.
    bool write(const QString &path) const;

    // Where the pointer leaves channel `index`'s screen, by neighbour: "Channel 2 on the
    // right, rows 1–3; Channel 4 below, columns 1–4". Empty without crossings, and so
    // always with Orvanel Switching off.
    static QString crossingsText(const Configuration &config, int index);

private:
    QString detailsHtml() const;
    QString channelRowsHtml() const;
};
