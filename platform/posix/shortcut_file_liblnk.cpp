// Shortcuts read through Debian's liblnk, on every system but Windows (which reads them through
// its own shell; see windows/shortcut_file_win32.cpp).
#include <cstdint>
#include <string>
#include <vector>

#include "platform/shortcut_file.h"

#ifdef HIVORA_HAVE_LIBLNK
// Debian's liblnk.h includes libbfio.h for functions this reader does not use, and liblnk-dev
// does not pull in libbfio-dev: the features header is read first and that part switched off.
#include <liblnk/features.h>
#undef LIBLNK_HAVE_BFIO
#include <liblnk.h>
#endif

namespace hivora {

#ifdef HIVORA_HAVE_LIBLNK

namespace {

// One UTF-8 string of the shortcut through liblnk's size/get pair; "" when absent (0) or on error.
template <typename SizeOf, typename Get>
std::string lnkText(liblnk_file_t* file, SizeOf sizeOf, Get get) {
    std::size_t size = 0;
    liblnk_error_t* error = nullptr;
    if (sizeOf(file, &size, &error) != 1 || size == 0) {
        liblnk_error_free(&error);
        return {};
    }
    std::vector<std::uint8_t> buffer(size);
    if (get(file, buffer.data(), buffer.size(), &error) != 1) {
        liblnk_error_free(&error);
        return {};
    }
    std::string text(reinterpret_cast<const char*>(buffer.data()), buffer.size());
    while (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

}  // namespace

Result<ShortcutTarget> readShortcut(const std::string& hostPath) {
    liblnk_file_t* file = nullptr;
    liblnk_error_t* error = nullptr;
    if (liblnk_file_initialize(&file, &error) != 1) {
        liblnk_error_free(&error);
        return Status::error("无法读取");
    }
    if (liblnk_file_open(file, hostPath.c_str(), LIBLNK_OPEN_READ, &error) != 1) {
        liblnk_error_free(&error);
        (void)liblnk_file_free(&file, nullptr);
        return Status::error("无法读取");
    }
    ShortcutTarget shortcut;
    shortcut.target =
        lnkText(file, liblnk_file_get_utf8_local_path_size, liblnk_file_get_utf8_local_path);
    if (shortcut.target.empty())
        shortcut.target = lnkText(file, liblnk_file_get_utf8_network_path_size,
                                  liblnk_file_get_utf8_network_path);
    if (shortcut.target.empty())
        shortcut.target = lnkText(file, liblnk_file_get_utf8_relative_path_size,
                                  liblnk_file_get_utf8_relative_path);
    shortcut.arguments = lnkText(file, liblnk_file_get_utf8_command_line_arguments_size,
                                 liblnk_file_get_utf8_command_line_arguments);
    (void)liblnk_file_close(file, nullptr);
    (void)liblnk_file_free(&file, nullptr);
    return shortcut;
}

#else

Result<ShortcutTarget> readShortcut(const std::string&) {
    return Status::error("无法读取");
}

#endif

}  // namespace hivora
