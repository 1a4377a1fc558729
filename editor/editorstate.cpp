#include "editorstate.h"

#include "document/configuration.h"

int selectedMinLeft(const EditorState &state, const Configuration &config)
{
    return extentOf(config, state.selectedChannels.items(), Extent::MinLeft);
}

int selectedMinTop(const EditorState &state, const Configuration &config)
{
    return extentOf(config, state.selectedChannels.items(), Extent::MinTop);
}

int selectedMaxRight(const EditorState &state, const Configuration &config)
{
    return extentOf(config, state.selectedChannels.items(), Extent::MaxRight);
}

int selectedMaxBottom(const EditorState &state, const Configuration &config)
{
    return extentOf(config, state.selectedChannels.items(), Extent::MaxBottom);
}
