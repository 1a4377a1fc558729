#include "languageswitch.h"

#include "app/corvanecfg.h"

LanguageSwitch::LanguageSwitch(CorvaneCfg &window)
    : w(window)
{}

LanguageSwitch::~LanguageSwitch() = default;

void LanguageSwitch::applyLanguage(const QString &) {}

void LanguageSwitch::saveLanguageChoice() {}

void LanguageSwitch::loadLanguageChoice() {}

void LanguageSwitch::englishTriggered() {}

void LanguageSwitch::deutschTriggered() {}
