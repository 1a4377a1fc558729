#pragma once

#include <QString>
#include <QTranslator>

class QAction;

// English or German: the translators, the menu entries and the LANGUAGE file.
class LanguageSwitch
{
public:
    // The two entries of the language menu, of which exactly one is checked.
    LanguageSwitch(QAction &english, QAction &deutsch);
    ~LanguageSwitch();

    LanguageSwitch(const LanguageSwitch &) = delete;
    LanguageSwitch &operator=(const LanguageSwitch &) = delete;

    // "English" or "Deutsch" (exact words); anything else keeps the translators as they
    // are. Every call rewrites the LANGUAGE file from the checked menu entry.
    void applyLanguage(const QString &language);
    void saveLanguageChoice();
    // Reads the LANGUAGE file, or asks the system locale when there is none.
    void loadLanguageChoice();
    void englishTriggered();
    void deutschTriggered();

    bool isGerman() const { return m_installed; }

private:
    void install();
    void uninstall();

    QAction &m_english;
    QAction &m_deutsch;
    QTranslator qtTranslator;
    QTranslator appTranslator;
    // The texts of features added after the original catalogue was fixed.
    QTranslator extraTranslator;
    bool m_installed = false;
};
