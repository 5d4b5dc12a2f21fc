#include "pluginlibrary.h"

#include "host/toolbarbitmap.h"
#include "platform/qt/resourceregistry.h"

#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <dlfcn.h>

#include <array>
#include <utility>
#include <vector>

std::unique_ptr<PluginLibrary> PluginLibrary::open(const QString &path, QString *error)
{
    const QByteArray file = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    // A library registers its resources once, when it is first mapped: a second copy of the
    // same one would share (and on unloading, drop) the first one's resources.
    if (void *loaded = dlopen(file.constData(), RTLD_LAZY | RTLD_NOLOAD)) {
        dlclose(loaded);
        *error = QStringLiteral("The plug-in \"%1\" is already loaded.").arg(path);
        return nullptr;
    }
    // RTLD_NODELETE: a plug-in's code may still be referenced after its release (Qt meta
    // objects, interpreter callbacks), so unloading only drops our reference.
    void *handle = dlopen(file.constData(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (handle == nullptr) {
        const char *reason = dlerror();
        *error = QStringLiteral("Cannot load the plug-in \"%1\": %2")
                     .arg(path, QString::fromLocal8Bit(reason ? reason : "unknown error"));
        return nullptr;
    }
    std::unique_ptr<PluginLibrary> lib(new PluginLibrary);
    lib->m_path = path;
    lib->m_handle = handle;
    lib->m_module = platform::moduleOfLibrary(handle);
    const char *missing =
        lib->m_entry.resolve([handle](const char *name) { return dlsym(handle, name); });
    if (missing != nullptr) {
        *error = QStringLiteral("\"%1\" is not a Plinthar plug-in: it has no entry point %2.")
                     .arg(path, QLatin1String(missing));
        // Not ours: leave its resources alone.
        lib->m_module = nullptr;
        return nullptr;
    }
    return lib;
}

PluginLibrary::~PluginLibrary()
{
    if (m_module != nullptr)
        platform::unregisterModule(m_module);
    if (m_handle != nullptr)
        dlclose(m_handle);
}

QString PluginLibrary::menuText() const
{
    return QString::fromLocal8Bit(platform::loadString(m_module, int(m_entry.GetMenuTextID())));
}

QString PluginLibrary::statusText() const
{
    return QString::fromLocal8Bit(
        platform::loadString(m_module, int(m_entry.GetStatusMessageID())));
}

QString PluginLibrary::version(PlintharWindow view) const
{
    std::array<char, 256> buffer{};
    m_entry.PlugInProc(view, PLUGIN_QUERY_VERSION, buffer.size(),
                       reinterpret_cast<std::intptr_t>(buffer.data()));
    buffer.back() = '\0';
    return QString::fromLocal8Bit(buffer.data());
}

bool PluginLibrary::queryStatus(PlintharWindow view) const
{
    std::int32_t unused = 0;
    return m_entry.QueryStatus(view, &unused) != 0;
}

QImage PluginLibrary::applyMaskColour(const QImage &image, std::uint32_t colorRef)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb mask =
        qRgb(int(colorRef & 0xFF), int((colorRef >> 8) & 0xFF), int((colorRef >> 16) & 0xFF));
    for (int y = 0; y < out.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if ((line[x] | 0xFF000000u) == (mask | 0xFF000000u))
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return out;
}

QImage PluginLibrary::bitmapFor(PlintharWindow view, std::uintptr_t bits) const
{
    const auto id = m_entry.PlugInProc(view, PLUGIN_QUERY_BITMAP, bits, 0);
    QImage image = id != 0 ? platform::loadBitmap(m_module, int(id)) : QImage();
    if (image.isNull())
        return {};
    const auto mask = std::uint32_t(m_entry.PlugInProc(view, PLUGIN_QUERY_MASK, bits, 0));
    return ToolbarBitmap::hasMask(mask) ? applyMaskColour(image, mask) : image;
}

QIcon PluginLibrary::toolbarIcon(PlintharWindow view, int depth) const
{
    using ToolbarBitmap::Look;
    const std::array looks{std::pair{QIcon::Normal, Look::Normal},
                           std::pair{QIcon::Disabled, Look::Disabled},
                           std::pair{QIcon::Active, Look::Highlighted}};
    QIcon icon;
    for (const bool large : {false, true}) {
        for (const auto &[mode, look] : looks) {
            const QImage image = bitmapFor(view, ToolbarBitmap::queryBits(depth, large, look));
            if (!image.isNull())
                icon.addPixmap(QPixmap::fromImage(image), mode);
        }
    }
    if (icon.isNull()) {
        // A plug-in that answers no query still names its bitmap.
        const QImage image = platform::loadBitmap(m_module, int(m_entry.GetBitmapID()));
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}
