#pragma once

#include "host/commandscope.h"
#include "plinthar/plintharplugin.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

/**
 * The plug-ins an editor has loaded, and what both editors do with them alike: command ids
 * handed out in load order, the events at load, refresh and release, one command at a time as
 * one undo step of the view, and uninstalling only with the plug-in's consent.
 *
 * A @p Plugin has `library` (a pointer to the loaded library) and `commandId`; a @p View has
 * handle(), beginUndoAction() and endUndoAction().
 */
template <typename Plugin, typename View> class PluginSet
{
public:
    /// The plug-ins in load order.
    const std::vector<Plugin> &all() const { return m_plugins; }

    /// The command id for the next plug-in to load.
    std::uint32_t nextCommandId() { return m_nextCommandId++; }

    /// Adds a loaded @p plugin, calls @p listed (for the editor to show the new list), then
    /// tells the plug-in its command id and to refresh; answers it.
    template <typename Listed> const Plugin &add(Plugin plugin, View &view, Listed listed)
    {
        m_plugins.push_back(std::move(plugin));
        listed();
        const Plugin &added = m_plugins.back();
        added.library->onEvents(view.handle(), EVT_SET_COMMAND_ID, std::intptr_t(added.commandId));
        added.library->onEvents(view.handle(), EVT_REFRESH, 0);
        return added;
    }

    /// The place of the plug-in with @p commandId, if one has it.
    std::optional<std::size_t> indexOf(std::uint32_t commandId) const
    {
        for (std::size_t i = 0; i < m_plugins.size(); ++i) {
            if (m_plugins[i].commandId == commandId)
                return i;
        }
        return std::nullopt;
    }

    /// Tells every plug-in to refresh.
    void refresh(View &view)
    {
        for (const Plugin &plugin : m_plugins)
            plugin.library->onEvents(view.handle(), EVT_REFRESH, 0);
    }

    /// Runs the command of the plug-in at @p index as one undo step of @p view, unless a
    /// command runs already.
    void run(std::size_t index, View &view)
    {
        if (index >= m_plugins.size() || m_commandRunning)
            return;
        const CommandScope scope(view, m_commandRunning);
        m_plugins[index].library->onCommand(view.handle());
    }

    /// Asks the plug-in at @p index whether it may go and, when it agrees, removes it and
    /// sends it its release: answers the removed plug-in, none when it stays (or a command
    /// runs).
    std::optional<Plugin> uninstall(std::size_t index, View &view)
    {
        if (index >= m_plugins.size() || m_commandRunning)
            return std::nullopt;
        if (m_plugins[index].library->plugInProc(view.handle(), PLUGIN_QUERY_UNINSTALL, 0, 0) != 1)
            return std::nullopt;
        Plugin plugin = std::move(m_plugins[index]);
        m_plugins.erase(m_plugins.begin() + std::ptrdiff_t(index));
        plugin.library->onEvents(view.handle(), EVT_RELEASE, 0);
        return plugin;
    }

    /// Sends every plug-in its release, the last loaded first, and unloads it.
    void releaseAll(View &view)
    {
        while (!m_plugins.empty()) {
            m_plugins.back().library->onEvents(view.handle(), EVT_RELEASE, 0);
            m_plugins.pop_back();
        }
    }

private:
    std::vector<Plugin> m_plugins;
    std::uint32_t m_nextCommandId = 40001;
    bool m_commandRunning = false;
};
