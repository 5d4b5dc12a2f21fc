#include "platform/qt/resourceregistry.h"

#include "platform/textbytes.h"
#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string_view>

namespace platform {

namespace {

struct ModuleResources
{
    std::map<Language, std::map<int, std::string>> strings;
    std::map<int, QByteArray> bitmaps;
};

// Everything libraries registered, by module. Libraries register from static initialisers,
// which may run on whichever thread calls dlopen(), hence the lock.
struct ResourceRegistry
{
    std::mutex mutex;
    std::map<ModuleHandle, ModuleResources> modules;
};

ResourceRegistry &resources()
{
    static ResourceRegistry instance;
    return instance;
}

Language otherLanguage(Language language)
{
    return language == Language::Japanese ? Language::English : Language::Japanese;
}

} // namespace

ModuleHandle moduleOfAddress(const void *address)
{
    Dl_info info{};
    link_map *map = nullptr;
    if (dladdr1(address, &info, reinterpret_cast<void **>(&map), RTLD_DL_LINKMAP) == 0)
        return nullptr;
    return reinterpret_cast<ModuleHandle>(map);
}

ModuleHandle moduleOfLibrary(void *dlopenHandle)
{
    // On glibc a dlopen() handle is the library's link_map, the same value dladdr1() gives.
    return reinterpret_cast<ModuleHandle>(dlopenHandle);
}

void registerStringTable(ModuleHandle module, Language language, std::map<int, std::string> strings)
{
    ResourceRegistry &reg = resources();
    std::lock_guard lock(reg.mutex);
    reg.modules[module].strings[language] = std::move(strings);
}

void registerBitmap(ModuleHandle module, int id, QByteArray bmpFile)
{
    ResourceRegistry &reg = resources();
    std::lock_guard lock(reg.mutex);
    reg.modules[module].bitmaps[id] = std::move(bmpFile);
}

void unregisterModule(ModuleHandle module)
{
    ResourceRegistry &reg = resources();
    std::lock_guard lock(reg.mutex);
    reg.modules.erase(module);
}

Language userLanguage()
{
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char *value = std::getenv(name);
        if (value == nullptr || *value == '\0')
            continue;
        return std::string_view(value).starts_with("ja") ? Language::Japanese : Language::English;
    }
    return Language::English;
}

std::string loadString(ModuleHandle module, int id)
{
    ResourceRegistry &reg = resources();
    std::lock_guard lock(reg.mutex);
    const auto mod = reg.modules.find(module);
    if (mod == reg.modules.end())
        return {};
    const Language preferred = userLanguage();
    for (const Language language : {preferred, otherLanguage(preferred)}) {
        const auto table = mod->second.strings.find(language);
        if (table == mod->second.strings.end())
            continue;
        const auto entry = table->second.find(id);
        if (entry != table->second.end())
            return entry->second;
    }
    return {};
}

int loadString(ModuleHandle module, int id, char *buffer, int bufferMax)
{
    if (buffer == nullptr || bufferMax < 1)
        return 0;
    return int(copyTerminated(loadString(module, id), buffer, std::size_t(bufferMax)));
}

QByteArray loadBitmapData(ModuleHandle module, int id)
{
    ResourceRegistry &reg = resources();
    std::lock_guard lock(reg.mutex);
    const auto mod = reg.modules.find(module);
    if (mod == reg.modules.end())
        return {};
    const auto bitmap = mod->second.bitmaps.find(id);
    return bitmap == mod->second.bitmaps.end() ? QByteArray() : bitmap->second;
}

QImage loadBitmap(ModuleHandle module, int id)
{
    const QByteArray data = loadBitmapData(module, id);
    if (data.isEmpty())
        return {};
    return QImage::fromData(data, "BMP");
}

} // namespace platform
