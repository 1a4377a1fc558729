#pragma once

#include <QString>

class CorvaneCfg;

// English or German: the two translators, the menu entries and the LANGUAGE file.
class LanguageSwitch
{
public:
    explicit LanguageSwitch(CorvaneCfg &window);
    ~LanguageSwitch();

    void applyLanguage(const QString &language);
    void saveLanguageChoice();
    void loadLanguageChoice();
    void englishTriggered();
    void deutschTriggered();

private:
    CorvaneCfg &w;
};
