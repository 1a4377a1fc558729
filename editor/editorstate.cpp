#include "editorstate.h"

#include "document/configuration.h"

#include <algorithm>

namespace {

// Folds one field over the selected entries; -1 for an empty selection.
template<typename Pick>
int selectedExtent(const EditorState &state, const Configuration &config,
                   quint8 ChannelEntry::*field, Pick pick)
{
    int result = -1;
    for (int k = 0; k < state.selectedChannels.size(); ++k) {
        const int index = state.selectedChannels.at(k);
        if (index < 0 || index >= kMaxChannels)
            continue;
        const int value = config.channels[index].*field;
        result = result < 0 ? value : pick(result, value);
    }
    return result;
}

int smaller(int a, int b)
{
    return std::min(a, b);
}
int larger(int a, int b)
{
    return std::max(a, b);
}

} // namespace

int selectedMinLeft(const EditorState &state, const Configuration &config)
{
    return selectedExtent(state, config, &ChannelEntry::left, smaller);
}

int selectedMinTop(const EditorState &state, const Configuration &config)
{
    return selectedExtent(state, config, &ChannelEntry::top, smaller);
}

int selectedMaxRight(const EditorState &state, const Configuration &config)
{
    return selectedExtent(state, config, &ChannelEntry::right, larger);
}

int selectedMaxBottom(const EditorState &state, const Configuration &config)
{
    return selectedExtent(state, config, &ChannelEntry::bottom, larger);
}
