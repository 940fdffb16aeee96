#include "common/file_name_locale.h"

#include <langinfo.h>

#include <clocale>
#include <string_view>

void UseUtf8FileNames() {
    std::setlocale(LC_ALL, "");
    const std::string_view codeset = nl_langinfo(CODESET);
    if (codeset != "UTF-8") {
        std::setlocale(LC_CTYPE, "C.UTF-8");
    }
}
