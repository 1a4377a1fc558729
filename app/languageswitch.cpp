#include "languageswitch.h"

#include "app/languagefile.h"

#include <QAction>
#include <QCoreApplication>
#include <QLocale>

namespace {
// Opened by its bare name, so it lives in the working directory the program runs in.
const char kLanguageFile[] = "LANGUAGE";
const char kEnglish[] = "English";
const char kDeutsch[] = "Deutsch";
const char kTranslationDir[] = ":/translations";

QString languageFileName()
{
    return QString::fromLatin1(kLanguageFile);
}
} // namespace

LanguageSwitch::LanguageSwitch(QAction &english, QAction &deutsch)
    : m_english(english)
    , m_deutsch(deutsch)
{
}

// The translators belong to this window: they leave the application with it, so a
// window built after this one starts from English.
LanguageSwitch::~LanguageSwitch()
{
    uninstall();
}

void LanguageSwitch::install()
{
    if (m_installed)
        return; // already German: no second language change for every window
    // A catalogue that fails to load is installed all the same and translates nothing.
    if (qtTranslator.isEmpty())
        (void)qtTranslator.load(QStringLiteral("qt_de"), QLatin1String(kTranslationDir));
    QCoreApplication::installTranslator(&qtTranslator);
    if (appTranslator.isEmpty())
        (void)appTranslator.load(QStringLiteral("VIVUVE_de"), QLatin1String(kTranslationDir));
    QCoreApplication::installTranslator(&appTranslator);
    if (extraTranslator.isEmpty())
        (void)extraTranslator.load(QStringLiteral("OVSextra_de"), QLatin1String(kTranslationDir));
    QCoreApplication::installTranslator(&extraTranslator);
    m_installed = true;
}

void LanguageSwitch::uninstall()
{
    if (!m_installed)
        return;
    QCoreApplication::removeTranslator(&qtTranslator);
    QCoreApplication::removeTranslator(&appTranslator);
    QCoreApplication::removeTranslator(&extraTranslator);
    m_installed = false;
}

void LanguageSwitch::applyLanguage(const QString &language)
{
    if (language == QLatin1String(kEnglish))
        uninstall();
    else if (language == QLatin1String(kDeutsch))
        install();
    saveLanguageChoice();
}

void LanguageSwitch::saveLanguageChoice()
{
    QByteArray word;
    if (m_english.isChecked())
        word = kEnglish;
    else if (m_deutsch.isChecked())
        word = kDeutsch;

    // Failure is silent: the choice still holds for this run.
    (void)writeLanguageWord(languageFileName(), word);
}

void LanguageSwitch::loadLanguageChoice()
{
    QByteArray line;
    if (readLanguageWord(languageFileName(), line)) {
        const QString word = QString::fromLocal8Bit(line);
        if (word == QLatin1String(kEnglish)) {
            m_english.setChecked(true);
            m_deutsch.setChecked(false);
        } else if (word == QLatin1String(kDeutsch)) {
            m_english.setChecked(false);
            m_deutsch.setChecked(true);
        }
        // Any other content keeps the form's choice (English) and rewrites the file.
        applyLanguage(word);
        return;
    }

    const bool german = QLocale::system().language() == QLocale::German;
    m_english.setChecked(!german);
    m_deutsch.setChecked(german);
    applyLanguage(QLatin1String(german ? kDeutsch : kEnglish));
}

// The action has toggled itself before the slot runs: unchecked means the operator
// picked the entry that was already current.
void LanguageSwitch::englishTriggered()
{
    if (!m_english.isChecked()) {
        m_english.setChecked(true);
        return;
    }
    m_deutsch.setChecked(false);
    applyLanguage(QLatin1String(kEnglish));
}

void LanguageSwitch::deutschTriggered()
{
    if (!m_deutsch.isChecked()) {
        m_deutsch.setChecked(true);
        return;
    }
    m_english.setChecked(false);
    applyLanguage(QLatin1String(kDeutsch));
}
