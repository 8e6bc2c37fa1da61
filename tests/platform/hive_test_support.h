#pragma once
// Binary registry hives made by the tests: the smallest hive there is (a base block and one hive
// bin holding the root key and its security descriptor), written byte by byte here, then grown
// through libhivex's own calls, so the program's reader and writer are not what builds them. Also
// a whole installation laid out as on a Windows system volume, and the helpers the tests use to
// ask reglookup about a hive.

#include <hivex.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace hivora::test {

inline void putLe(std::string& bytes, std::size_t at, std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}
inline std::uint32_t getLe32(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
    return v;
}

// Sets the base block's checksum: the XOR of its first 127 32-bit words.
inline void fixBaseBlockChecksum(std::string& hive) {
    std::uint32_t sum = 0;
    for (std::size_t at = 0; at < 508; at += 4) sum ^= getLe32(hive, at);
    putLe(hive, 508, sum, 4);
}

inline constexpr std::uint64_t kTestFileTime = 133'000'000'000'000'000ULL;  // 2022

// A hive of 8192 bytes: base block, one 4096-byte bin with the root key `rootName` (ASCII), its
// security descriptor cell and one free cell filling the rest.
inline std::string minimalHiveBytes(const std::string& rootName = "ROOT") {
    std::string hive(8192, '\0');
    // Base block.
    hive.replace(0, 4, "regf");
    putLe(hive, 4, 1, 4);               // primary sequence number
    putLe(hive, 8, 1, 4);               // secondary sequence number
    putLe(hive, 12, kTestFileTime, 8);  // last written
    putLe(hive, 20, 1, 4);              // major version
    putLe(hive, 24, 5, 4);              // minor version
    putLe(hive, 28, 0, 4);              // primary file
    putLe(hive, 32, 1, 4);              // direct memory load
    putLe(hive, 36, 0x20, 4);           // root cell, after the bin's header
    putLe(hive, 40, 4096, 4);           // hive bins data size
    putLe(hive, 44, 1, 4);              // clustering factor
    const std::string fileName = "\\hivora\\test";
    for (std::size_t i = 0; i < fileName.size(); ++i) hive[48 + 2 * i] = fileName[i];
    fixBaseBlockChecksum(hive);

    // The bin's header.
    const std::size_t bin = 4096;
    hive.replace(bin, 4, "hbin");
    putLe(hive, bin + 4, 0, 4);
    putLe(hive, bin + 8, 4096, 4);
    putLe(hive, bin + 20, kTestFileTime, 8);

    // The root key's cell.
    const std::size_t nk = bin + 0x20;
    const std::size_t nkSize = (4 + 76 + rootName.size() + 7) / 8 * 8;
    const std::size_t sk = nk + nkSize;
    const std::uint32_t skOffset = static_cast<std::uint32_t>(sk - bin);
    putLe(hive, nk, static_cast<std::uint32_t>(-static_cast<std::int32_t>(nkSize)), 4);
    hive.replace(nk + 4, 2, "nk");
    putLe(hive, nk + 6, 0x2C, 2);  // root of the hive, cannot be deleted, ASCII name
    putLe(hive, nk + 8, kTestFileTime, 8);
    putLe(hive, nk + 20, 0xFFFFFFFF, 4);  // parent: none
    putLe(hive, nk + 32, 0xFFFFFFFF, 4);  // sub-key list: none
    putLe(hive, nk + 36, 0xFFFFFFFF, 4);  // volatile sub-key list: none
    putLe(hive, nk + 44, 0xFFFFFFFF, 4);  // value list: none
    putLe(hive, nk + 48, skOffset, 4);
    putLe(hive, nk + 52, 0xFFFFFFFF, 4);  // class name: none
    putLe(hive, nk + 76, rootName.size(), 2);
    hive.replace(nk + 80, rootName.size(), rootName);

    // The security cell: a list of one, with a self-relative descriptor that has no owner,
    // no group and a null DACL.
    const std::size_t skSize = 48;
    putLe(hive, sk, static_cast<std::uint32_t>(-static_cast<std::int32_t>(skSize)), 4);
    hive.replace(sk + 4, 2, "sk");
    putLe(hive, sk + 8, skOffset, 4);   // flink
    putLe(hive, sk + 12, skOffset, 4);  // blink
    putLe(hive, sk + 16, 1, 4);         // reference count
    putLe(hive, sk + 20, 20, 4);        // descriptor size
    hive[sk + 24] = 1;                  // revision
    putLe(hive, sk + 26, 0x8004, 2);    // self-relative, DACL present

    // One free cell for the rest of the bin.
    const std::size_t freeAt = sk + skSize;
    putLe(hive, freeAt, bin + 4096 - freeAt, 4);
    return hive;
}

// UTF-16LE text with its final NUL, as REG_SZ data.
inline std::string sz(const std::string& ascii) {
    std::string out;
    for (char c : ascii) {
        out.push_back(c);
        out.push_back('\0');
    }
    out.append(2, '\0');
    return out;
}
inline std::string dword(std::uint32_t v) {
    std::string out(4, '\0');
    putLe(out, 0, v, 4);
    return out;
}

struct HiveEntry {
    std::string key;    // "A\\B", below the root; "" the root
    std::string value;  // "" with type -1: only the key is made
    int type = -1;
    std::string data;
};

// Writes the minimal hive to `path` and grows it with `entries` through libhivex.
inline bool writeTestHive(const std::string& path, const std::vector<HiveEntry>& entries,
                          const std::string& rootName = "ROOT") {
    std::ofstream(path, std::ios::binary) << minimalHiveBytes(rootName);
    hive_h* h = hivex_open(path.c_str(), HIVEX_OPEN_WRITE);
    if (!h) return false;
    bool ok = true;
    for (const HiveEntry& e : entries) {
        hive_node_h node = hivex_root(h);
        std::size_t start = 0;
        while (ok && start < e.key.size()) {
            std::size_t end = e.key.find('\\', start);
            if (end == std::string::npos) end = e.key.size();
            const std::string name = e.key.substr(start, end - start);
            hive_node_h child = hivex_node_get_child(h, node, name.c_str());
            node = child ? child : hivex_node_add_child(h, node, name.c_str());
            ok = node != 0;
            start = end + 1;
        }
        if (ok && e.type >= 0) {
            std::string name = e.value, data = e.data;
            hive_set_value v{name.data(), static_cast<hive_type>(e.type), data.size(), data.data()};
            ok = hivex_node_set_value(h, node, &v, 0) == 0;
        }
    }
    ok = ok && hivex_commit(h, path.c_str(), 0) == 0;
    hivex_close(h);
    return ok;
}

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A Windows system volume below `root`: the three machine hives in Windows/System32/config, and
// the profiles `users` (ProfileList entries, NTUSER.DAT, UsrClass.dat) under Users/. SOFTWARE
// names the edition; SYSTEM's current control set is ControlSet001 (Select\Current = 1).
inline bool makeTestInstallation(const std::string& root, const std::vector<std::string>& users,
                                 std::vector<HiveEntry> softwareExtra = {}) {
    namespace fs = std::filesystem;
    const std::string config = root + "/Windows/System32/config";
    fs::create_directories(config);
    const std::string cv = "Microsoft\\Windows NT\\CurrentVersion";
    std::vector<HiveEntry> software = {
        {cv, "ProductName", 1, sz("Windows 10 Pro")},
        {cv, "DisplayVersion", 1, sz("22H2")},
        {cv, "CurrentBuild", 1, sz("19045")},
        // What Windows 10 writes for programs that read the old version values.
        {cv, "CurrentVersion", 1, sz("6.3")},
        {cv, "CurrentBuildNumber", 1, sz("19045")},
        {cv, "CurrentMajorVersionNumber", 4, dword(10)},
        {cv, "UBR", 4, dword(3803)},
        {"Classes\\.txt", "", 1, sz("txtfile")},
        {cv + "\\ProfileList\\S-1-5-18", "ProfileImagePath", 2,
         sz("%systemroot%\\system32\\config\\systemprofile")},
    };
    int n = 1001;
    for (const std::string& user : users) {
        // Both ways Windows writes profile paths appear.
        const std::string where = (n % 2 ? "C:\\Users\\" : "%SystemDrive%\\Users\\") + user;
        software.push_back({cv + "\\ProfileList\\S-1-5-21-1-2-3-" + std::to_string(n++),
                            "ProfileImagePath", 2, sz(where)});
        const std::string profile = root + "/Users/" + user;
        fs::create_directories(profile + "/AppData/Local/Microsoft/Windows");
        if (!writeTestHive(profile + "/NTUSER.DAT",
                           {{"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", "ShellState",
                             3, std::string("\x24\0\0\0", 4)},
                            {"Environment", "TEMP", 2, sz("%USERPROFILE%\\AppData\\Local\\Temp")}}))
            return false;
        if (!writeTestHive(profile + "/AppData/Local/Microsoft/Windows/UsrClass.dat",
                           {{".hivora", "", 1, sz("hivorafile")}}))
            return false;
    }
    software.insert(software.end(), softwareExtra.begin(), softwareExtra.end());
    return writeTestHive(config + "/SOFTWARE", software) &&
           writeTestHive(config + "/SYSTEM",
                         {{"Select", "Current", 4, dword(1)},
                          {"ControlSet001\\Control\\Session Manager", "BootExecute", 7,
                           sz("autocheck autochk *") + std::string(2, '\0')},
                          {"ControlSet002\\Control", "", -1, ""}}) &&
           writeTestHive(config + "/DEFAULT", {{"Control Panel\\Desktop", "Wallpaper", 1, sz("")}});
}

// What `reglookup` prints for the hive (one line per key and value: path, type, data), or
// "reglookup failed: ..." when it reports an error. Key times are left out.
inline std::string reglookupListing(const std::string& path) {
    const std::string command = "reglookup -H '" + path + "' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return "reglookup failed: popen";
    std::string out;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    const int status = ::pclose(pipe);
    if (status != 0 || out.find("ERROR") != std::string::npos ||
        out.find("WARN") != std::string::npos)
        return "reglookup failed: " + out;
    // Each line: PATH,TYPE,VALUE,MTIME — the time is dropped.
    std::string listing;
    std::size_t start = 0;
    while (start < out.size()) {
        std::size_t end = out.find('\n', start);
        if (end == std::string::npos) end = out.size();
        std::string line = out.substr(start, end - start);
        const std::size_t comma = line.rfind(',');
        if (comma != std::string::npos) line.resize(comma);
        listing += line + "\n";
        start = end + 1;
    }
    return listing;
}

}  // namespace hivora::test
