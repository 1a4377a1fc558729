#pragma once

#include <QList>

class CorvaneCfg;

// The main window's editor slots: placing and removing channels, the two tool
// buttons, the focus hand-over between list and canvas, and scrolling.
class EditorWiring
{
public:
    explicit EditorWiring(CorvaneCfg &window);

    void childGetsFocus();
    void addChannelsToConfig(const QList<int> &indexList);
    void delChannelsToConfig(const QList<int> &indexList);
    void areaScroll(int x, int y);
    void toolButtonDel();
    void toolButtonAdd();

private:
    CorvaneCfg &w;
};
