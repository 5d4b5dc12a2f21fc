#include "resources/qt/korvexresources.h"

#include "resources/korvexbitmaps.h"
#include "resources/qt/korvexbitmapfiles.h"
#include "resources/stringtables.h"

#include <QtCore/qglobal.h>

void registerKorvexResources(platform::ModuleHandle module)
{
    // The library registers its resources from a static initializer, which may run before
    // the embedded files' own initializer: make sure they are there first.
    Q_INIT_RESOURCE(korvex_bitmaps);
    for (const platform::Language language :
         {platform::Language::English, platform::Language::Japanese})
        platform::registerStringTable(module, language, korvexStringTable(language));
    for (const KorvexBitmap &bitmap : korvexBitmaps())
        platform::registerBitmap(module, bitmap.id, korvexBitmapFile(bitmap.id));
}

void unregisterKorvexResources(platform::ModuleHandle module)
{
    platform::unregisterModule(module);
}
