#include "messages.h"
#include "ovsctl.h"

#include "document/layoutcheck.h"
#include "document/regularfile.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <cmath>

namespace {

// The JSON of an 8-channel configuration is about 2 KiB; this leaves room for any layout
// and keeps a mistaken huge file out of memory.
constexpr qint64 kLargestJson = 1 << 20;

QJsonObject toJson(const Configuration &c)
{
    QJsonArray channels;
    for (int i = 0; i < c.channelCount && i < kMaxChannels; ++i) {
        const ChannelEntry &e = c.channels[i];
        channels.append(QJsonObject{{"channel", i + 1},
                                    {"placed", e.placed},
                                    {"left", e.left},
                                    {"top", e.top},
                                    {"right", e.right},
                                    {"bottom", e.bottom},
                                    {"resolutionX", e.resolutionX},
                                    {"resolutionY", e.resolutionY}});
    }
    return QJsonObject{{"channelCount", c.channelCount},
                       {"switchingEnabled", c.switchingEnabled},
                       {"mouseSpeed", c.mouseSpeed},
                       {"channels", channels}};
}

// Reads one whole number in [low, high]; on failure `error` says which and why.
bool takeInt(const QJsonObject &o, const QString &key, int low, int high, const QString &where,
             int &value, QString &error)
{
    const QJsonValue v = o.value(key);
    const double d = v.toDouble(std::nan(""));
    if (!v.isDouble() || std::floor(d) != d) {
        error = QString("%1: \"%2\" must be a whole number").arg(where, key);
        return false;
    }
    if (d < low || d > high) {
        error = QString("%1: \"%2\" is %3, allowed are %4 to %5")
                        .arg(where, key)
                        .arg(d)
                        .arg(low)
                        .arg(high);
        return false;
    }
    value = int(d);
    return true;
}

bool fromJson(const QJsonObject &root, Configuration &c, QString &error)
{
    int count = 0;
    int switching = 0;
    int speed = 0;
    if (!takeInt(root, "channelCount", 0, kMaxChannels, "top level", count, error)
        || !takeInt(root, "switchingEnabled", 0, 255, "top level", switching, error)
        || !takeInt(root, "mouseSpeed", 0, 255, "top level", speed, error))
        return false;
    const QJsonValue list = root.value("channels");
    if (!list.isArray() || list.toArray().size() != count) {
        error = QString("top level: \"channels\" must be an array of %1 objects").arg(count);
        return false;
    }
    c.channelCount = quint8(count);
    c.switchingEnabled = quint8(switching);
    c.mouseSpeed = quint8(speed);
    bool seen[kMaxChannels] = {};
    const QJsonArray entries = list.toArray();
    for (qsizetype n = 0; n < entries.size(); ++n) {
        const QString where = QString("channels[%1]").arg(n);
        if (!entries.at(n).isObject()) {
            error = where + ": must be an object";
            return false;
        }
        const QJsonObject o = entries.at(n).toObject();
        int number = 0;
        if (!takeInt(o, "channel", 1, count, where, number, error))
            return false;
        if (seen[number - 1]) {
            error = QString("%1: channel %2 appears twice").arg(where).arg(number);
            return false;
        }
        seen[number - 1] = true;
        const QString at = QString("channel %1").arg(number);
        static const char *const keys[7]
                = {"placed", "left", "top", "right", "bottom", "resolutionX", "resolutionY"};
        int f[7] = {};
        for (int k = 0; k < 7; ++k) {
            if (!takeInt(o, keys[k], 0, k < 5 ? 255 : 65535, at, f[k], error))
                return false;
        }
        c.channels[number - 1]
                = ChannelEntry{quint8(f[0]), quint8(f[1]),  quint8(f[2]), quint8(f[3]),
                               quint8(f[4]), quint16(f[5]), quint16(f[6])};
    }
    return true;
}

QString resolutionText(const ChannelEntry &e)
{
    if (e.resolutionX == 0 || e.resolutionY == 0)
        return "-";
    return QString("%1 X %2").arg(e.resolutionX).arg(e.resolutionY);
}

void printTable(const Configuration &c, QTextStream &out)
{
    out << "Model:             Vorrix" << c.channelCount << "\n"
        << "Orvanel Switching: " << (c.switchingEnabled == 1 ? "on" : "off") << "\n"
        << "Pointer speed:     " << c.mouseSpeed << "\n\n";
    out << "Channel  Placed  Left  Top  Right  Bottom  Resolution\n";
    for (int i = 0; i < c.channelCount && i < kMaxChannels; ++i) {
        const ChannelEntry &e = c.channels[i];
        const QString placed = e.placed == 1   ? "yes"
                               : e.placed == 0 ? "no"
                                               : QString::number(e.placed);
        out << qSetFieldWidth(9) << Qt::left << i + 1 << qSetFieldWidth(8) << placed
            << qSetFieldWidth(6) << e.left << qSetFieldWidth(5) << e.top << qSetFieldWidth(7)
            << e.right << qSetFieldWidth(8) << e.bottom << qSetFieldWidth(0) << resolutionText(e)
            << "\n";
    }
}

} // namespace

int runShow(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription("Prints an .ovs file as a table, or as one JSON object.");
    const QCommandLineOption json("json", "Print JSON instead of a table.");
    parser.addOption(json);
    parser.addPositionalArgument("FILE.ovs", "The configuration file.");
    if (const int code = parseCommand(parser, "show", args); code >= 0)
        return code;
    if (parser.positionalArguments().size() != 1) {
        printError("show: exactly one FILE.ovs is needed.");
        return ExitUsage;
    }
    Configuration c;
    if (const int code = reportLoad(readOvsFile(parser.positionalArguments().first(), c)))
        return code;
    QTextStream out(stdout);
    if (parser.isSet(json))
        out << QJsonDocument(toJson(c)).toJson(QJsonDocument::Indented);
    else
        printTable(c, out);
    return ExitOk;
}

int runImport(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
            "Writes the configuration that 'show --json' printed back into an .ovs file.");
    const QCommandLineOption output({"o", "output"}, "The .ovs file to write.", "FILE.ovs");
    parser.addOption(output);
    parser.addPositionalArgument("FILE.json", "The JSON object to import.");
    if (const int code = parseCommand(parser, "import", args); code >= 0)
        return code;
    if (parser.positionalArguments().size() != 1 || !parser.isSet(output)) {
        printError("import: one FILE.json and --output FILE.ovs are needed.");
        return ExitUsage;
    }
    const QString inPath = parser.positionalArguments().first();
    QByteArray text;
    if (!readRegularFile(inPath, kLargestJson + 1, text)) {
        printError(Msg::couldNotOpen());
        return ExitFile;
    }
    if (text.size() > kLargestJson) {
        printError(QString("%1: the file is larger than 1 MiB, too large for a configuration. "
                           "No file was written.")
                           .arg(inPath));
        return ExitFile;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &parseError);
    if (!doc.isObject()) {
        if (parseError.error == QJsonParseError::NoError)
            printError(QString("%1: not a JSON object.").arg(inPath));
        else
            printError(QString("%1: not a JSON object (%2 at offset %3).")
                               .arg(inPath, parseError.errorString())
                               .arg(parseError.offset));
        return ExitFile;
    }
    Configuration c;
    QString error;
    if (!fromJson(doc.object(), c, error)) {
        printError(QString("%1: %2. No file was written.").arg(inPath, error));
        return ExitFile;
    }
    if (!writeOvsFile(parser.value(output), c)) {
        printError(Msg::couldNotSave());
        return ExitFile;
    }
    return ExitOk;
}

int runCheck(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
            "Lists the layout problems of an .ovs file, one per line: tiles without area or\n"
            "smaller than 2 x 2 cells, overlapping tiles, screens without a resolution,\n"
            "values the dialogs cannot set, a channel count other than 2, 4 or 8 and, with\n"
            "Orvanel Switching on, screens the pointer cannot reach. Prints nothing and\n"
            "exits 0 when there are none; exits 4 when there are some.");
    parser.addPositionalArgument("FILE.ovs", "The configuration file.");
    if (const int code = parseCommand(parser, "check", args); code >= 0)
        return code;
    if (parser.positionalArguments().size() != 1) {
        printError("check: exactly one FILE.ovs is needed.");
        return ExitUsage;
    }
    Configuration c;
    if (const int code = reportLoad(readOvsFile(parser.positionalArguments().first(), c)))
        return code;
    const QStringList lines = layoutProblemTexts(checkLayout(c));
    QTextStream out(stdout);
    for (const QString &line : lines)
        out << line << "\n";
    return lines.isEmpty() ? ExitOk : ExitFindings;
}
