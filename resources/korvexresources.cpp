#include "korvexresources.h"

#include "korvexbitmaps.h"
#include "stringtables.h"

void registerKorvexResources(platform::ModuleHandle module)
{
    for (const platform::Language language :
         {platform::Language::English, platform::Language::Japanese})
        platform::registerStringTable(module, language, korvexStringTable(language));
    for (const int id : korvexBitmapIds())
        platform::registerBitmap(module, id, korvexBitmapFile(id));
}

void unregisterKorvexResources(platform::ModuleHandle module)
{
    platform::unregisterModule(module);
}
