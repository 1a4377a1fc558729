#include "layoutwarnings.h"

#include "document/configuration.h"

#include <QCoreApplication>

QList<LayoutProblem> operatorLayoutCheck(const Configuration &config)
{
    Configuration own = config;
    for (int i = qMin<int>(config.channelCount, kMaxChannels); i < kMaxChannels; ++i)
        own.channels[i] = ChannelEntry{};
    return checkLayout(own);
}

namespace {
QStringList operatorLayoutErrors(const Configuration &config)
{
    return layoutProblemTexts(layoutProblemsOf(operatorLayoutCheck(config), LayoutSeverity::Error));
}

QString listed(const QStringList &problems)
{
    QStringList lines;
    for (const QString &problem : problems)
        lines << QStringLiteral("\u2022 ") + problem;
    return lines.join(QLatin1Char('\n'));
}
} // namespace

QString layoutProblemsMessage(const Configuration &config)
{
    const QStringList problems = operatorLayoutErrors(config);
    if (problems.isEmpty())
        return {};
    return QCoreApplication::translate("CorvaneCfg", "This configuration has problems:\n\n%1")
            .arg(listed(problems));
}

QString layoutProblemsQuestion(const Configuration &config)
{
    const QStringList problems = operatorLayoutErrors(config);
    if (problems.isEmpty())
        return {};
    return QCoreApplication::translate("CorvaneCfg",
                                       "This configuration has problems:\n\n%1\n\nWould you "
                                       "like to send it to the switch all the same?")
            .arg(listed(problems));
}
