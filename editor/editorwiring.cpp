#include "editorwiring.h"

#include "app/corvanecfg.h"

EditorWiring::EditorWiring(CorvaneCfg &window)
    : w(window)
{}

void EditorWiring::childGetsFocus() {}

void EditorWiring::addChannelsToConfig(const QList<int> &) {}

void EditorWiring::delChannelsToConfig(const QList<int> &) {}

void EditorWiring::areaScroll(int, int) {}

void EditorWiring::toolButtonDel() {}

void EditorWiring::toolButtonAdd() {}
