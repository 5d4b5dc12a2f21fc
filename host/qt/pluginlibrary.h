#pragma once

#include "platform/qt/resourceregistry.h"
#include "plinthar/plintharplugin.h"

#include <QIcon>
#include <QImage>
#include <QString>
#include <cstdint>
#include <memory>

/// One loaded plug-in library: its seven entry points and its resources. Unloading it
/// (destruction) forgets its resources; the code stays mapped, since a plug-in may have left
/// callbacks behind in libraries that outlive it.
class PluginLibrary
{
public:
    /// Loads @p path and resolves the entry points; nullptr with @p error set when the file
    /// cannot be loaded or is not a plug-in.
    static std::unique_ptr<PluginLibrary> open(const QString &path, QString *error);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary &) = delete;
    PluginLibrary &operator=(const PluginLibrary &) = delete;

    QString path() const { return m_path; }
    platform::ModuleHandle module() const { return m_module; }

    /// The menu text, from the library's resources.
    QString menuText() const;
    /// The status-bar text, from the library's resources.
    QString statusText() const;
    /// The version text the plug-in answers (query 0x904).
    QString version(PlintharWindow view) const;
    /// The toolbar icon for a screen of @p depth bits per pixel: normal, disabled and
    /// highlighted looks in 16 and 24 pixels, made transparent with the plug-in's mask colour.
    QIcon toolbarIcon(PlintharWindow view, int depth) const;
    /// @p image with every pixel of @p colorRef (0x00BBGGRR) transparent.
    static QImage applyMaskColour(const QImage &image, std::uint32_t colorRef);

    void onCommand(PlintharWindow view) const { m_entry.OnCommand(view); }
    bool queryStatus(PlintharWindow view) const;
    void onEvents(PlintharWindow view, std::uint32_t events, std::intptr_t argument) const
    {
        m_entry.OnEvents(view, events, argument);
    }
    std::intptr_t plugInProc(PlintharWindow view, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) const
    {
        return m_entry.PlugInProc(view, message, wParam, lParam);
    }

private:
    PluginLibrary() = default;
    QImage bitmapFor(PlintharWindow view, std::uintptr_t bits) const;

    QString m_path;
    void *m_handle = nullptr;
    platform::ModuleHandle m_module = nullptr;
    PlintharEntryPoints m_entry;
};
