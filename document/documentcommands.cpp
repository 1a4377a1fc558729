#include "documentcommands.h"

#include "app/corvanecfg.h"

DocumentCommands::DocumentCommands(CorvaneCfg &window)
    : w(window)
{}

void DocumentCommands::newConfiguration(bool) {}

bool DocumentCommands::askToSave()
{
    return true;
}

void DocumentCommands::open() {}

void DocumentCommands::save() {}

void DocumentCommands::saveAs() {}

void DocumentCommands::saveConfigFile() {}

void DocumentCommands::loadConfigFile() {}

void DocumentCommands::print() {}
