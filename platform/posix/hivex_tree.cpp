#include "platform/posix/hivex_tree.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/posix/durable_file.h"
#include "platform/posix/hive_classes.h"
#include "platform/posix/hive_file.h"
#include "platform/unicode_text.h"

namespace hivora {

namespace {

void putChecksum(std::string& hive) {
    const std::uint32_t sum = hiveBaseBlockChecksum(hive);
    for (int i = 0; i < 4; ++i) hive[508 + i] = static_cast<char>((sum >> (8 * i)) & 0xFF);
}

// Frees what libhivex hands out with malloc.
struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using Owned = std::unique_ptr<T, FreeDeleter>;

std::string errnoText(int error) {
    return error != 0 ? std::strerror(error) : "未知错误";
}

// A name as libhivex gives it (UTF-8) in the registry's UTF-16; bytes that are no UTF-8 are taken
// one unit each, so that a damaged name still shows.
std::u16string nameOf(const char* utf8) {
    if (!utf8) return {};
    auto text = utf8ToUtf16(utf8);
    if (text) return std::move(text).value();
    std::u16string raw;
    for (const char* p = utf8; *p; ++p) raw.push_back(static_cast<unsigned char>(*p));
    return raw;
}

Result<std::string> utf8Name(const std::u16string& name) {
    auto text = utf16ToUtf8(name);
    if (!text) return Status::error("名称不是有效的 Unicode 文本", EINVAL);
    return std::move(text).value();
}

hive_node_h findChild(hive_h* h, hive_node_h node, std::u16string_view name) {
    Owned<hive_node_h> children(hivex_node_children(h, node));
    if (!children) return 0;
    for (const hive_node_h* c = children.get(); *c; ++c) {
        Owned<char> childName(hivex_node_name(h, *c));
        if (childName && namesEqual(nameOf(childName.get()), name)) return *c;
    }
    return 0;
}

// The value of `node` named `name`; 0 when it has none.
hive_value_h findValue(hive_h* h, hive_node_h node, std::u16string_view name) {
    Owned<hive_value_h> values(hivex_node_values(h, node));
    if (!values) return 0;
    for (const hive_value_h* v = values.get(); *v; ++v) {
        Owned<char> key(hivex_value_key(h, *v));
        if (key && namesEqual(nameOf(key.get()), name)) return *v;
    }
    return 0;
}

struct RawValue {
    std::u16string name;
    std::string utf8Name;
    hive_type type = hive_t_REG_NONE;
    std::string data;
};

Result<std::vector<RawValue>> readValues(hive_h* h, hive_node_h node) {
    errno = 0;
    Owned<hive_value_h> values(hivex_node_values(h, node));
    if (!values) return Status::error("无法读取项的值：" + errnoText(errno), errno);
    std::vector<RawValue> out;
    for (const hive_value_h* v = values.get(); *v; ++v) {
        RawValue raw;
        Owned<char> key(hivex_value_key(h, *v));
        size_t length = 0;
        errno = 0;
        Owned<char> data(hivex_value_value(h, *v, &raw.type, &length));
        if (!key || !data) return Status::error("无法读取值：" + errnoText(errno), errno);
        raw.utf8Name = key.get();
        raw.name = nameOf(key.get());
        raw.data.assign(data.get(), length);
        out.push_back(std::move(raw));
    }
    return out;
}

// Opens the key at `path`, making the missing keys of it. `made` (may be null) receives how
// many names of the path existed before.
Result<hive_node_h> makePath(hive_h* h, const KeyPath& path, std::size_t* existed = nullptr) {
    hive_node_h node = hivex_root(h);
    if (existed) *existed = path.size();
    for (std::size_t i = 0; i < path.size(); ++i) {
        const std::u16string& name = path[i];
        if (hive_node_h child = findChild(h, node, name)) {
            node = child;
            continue;
        }
        if (existed && *existed == path.size()) *existed = i;
        auto utf8 = utf8Name(name);
        if (!utf8) return utf8.status();
        errno = 0;
        node = hivex_node_add_child(h, node, utf8.value().c_str());
        if (node == 0) return Status::error("无法新建项：" + errnoText(errno), errno);
    }
    return node;
}

// An anonymous in-memory file holding the hive at `path` with its base block's checksum put right.
Result<int> fixedCopy(const std::string& path) {
    auto bytes = readWholeFile(path);
    if (!bytes) return bytes.status();
    std::string& hive = bytes.value();
    if (hive.size() < 512) return Status::error("short", EINVAL);
    putChecksum(hive);
    const int fd = ::memfd_create("hivora-hive", MFD_CLOEXEC);
    if (fd < 0) return Status::error("memfd", errno);
    std::size_t done = 0;
    while (done < hive.size()) {
        const ssize_t n = ::write(fd, hive.data() + done, hive.size() - done);
        if (n <= 0) {
            ::close(fd);
            return Status::error("write", EIO);
        }
        done += static_cast<std::size_t>(n);
    }
    return fd;
}

}  // namespace

Result<std::unique_ptr<HivexFile>> HivexFile::open(const std::string& path, bool writable,
                                                   bool tolerant) {
    errno = 0;
    const int flags = writable ? HIVEX_OPEN_WRITE : (tolerant ? HIVEX_OPEN_UNSAFE : 0);
    hive_h* hive = hivex_open(path.c_str(), flags);
    if (!hive && tolerant && !writable) {
        // The library refuses a base block whose checksum is wrong, whatever it is asked. Such a
        // hive is read from a private copy in memory with the checksum put right; the file itself
        // is never touched.
        auto copy = fixedCopy(path);
        if (copy) {
            const int fd = copy.value();
            hive = hivex_open(("/proc/self/fd/" + std::to_string(fd)).c_str(), flags);
            ::close(fd);  // the library holds its own view of the bytes
        }
    }
    if (!hive) {
        const int error = errno != 0 ? errno : EINVAL;
        return Status::error("无法读取注册表文件 " + path + "：" + errnoText(error), error);
    }
    std::unique_ptr<HivexFile> file(new HivexFile(hive, path));
    if (!writable) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat info {};
        if (fd >= 0 && ::fstat(fd, &info) == 0 && info.st_size > 0) {
            void* bytes = ::mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ,
                                 MAP_PRIVATE, fd, 0);
            if (bytes != MAP_FAILED) {
                file->m_bytes = static_cast<const char*>(bytes);
                file->m_size = static_cast<std::size_t>(info.st_size);
            }
        }
        if (fd >= 0) ::close(fd);
    }
    return file;
}

HivexFile::~HivexFile() {
    if (m_hive) hivex_close(m_hive);
    if (m_bytes) ::munmap(const_cast<char*>(m_bytes), m_size);
}

hive_node_h HivexFile::find(const KeyPath& path) const {
    hive_node_h node = hivex_root(m_hive);
    for (const std::u16string& name : path) {
        if (node == 0) return 0;
        node = findChild(m_hive, node, name);
    }
    return node;
}

Status HivexFile::commitTo(const std::string& file) {
    errno = 0;
    if (hivex_commit(m_hive, file.c_str(), 0) != 0) {
        const int error = errno != 0 ? errno : EIO;
        return Status::error("无法写入 " + file + "：" + errnoText(error), error);
    }
    // The keys are looked up again: a key made and deleted in the same save has no class to get.
    std::vector<KeyClassPatch> patches;
    for (const auto& [path, keyClass] : m_classes)
        if (const hive_node_h node = find(path)) patches.push_back({node, keyClass});
    return addKeyClasses(file, patches);
}

Result<std::unique_ptr<TreeKey>> loadHiveTree(const HivexFile& file) {
    hive_h* h = file.handle();
    const HiveCells cells = file.cells();
    auto root = std::make_unique<TreeKey>();
    // Walked with an explicit stack: no depth of nesting can exhaust the program's own.
    std::vector<std::pair<hive_node_h, TreeKey*>> toVisit{{hivex_root(h), root.get()}};
    while (!toVisit.empty()) {
        const auto [node, key] = toVisit.back();
        toVisit.pop_back();
        key->modified = static_cast<FileTime>(hivex_node_timestamp(h, node));
        key->keyClass = cells.keyClass(node);
        if (!cells.readValues(node, *key)) {
            auto values = readValues(h, node);
            if (!values) return values.status();
            for (RawValue& v : values.value()) {
                key->setValue(v.name, static_cast<std::uint32_t>(v.type),
                              std::vector<std::uint8_t>(v.data.begin(), v.data.end()));
            }
        }
        errno = 0;
        Owned<hive_node_h> children(hivex_node_children(h, node));
        if (!children) return Status::error("无法读取子项：" + errnoText(errno), errno);
        for (const hive_node_h* c = children.get(); *c; ++c) {
            std::optional<std::u16string> plain = cells.keyName(*c);
            if (!plain) {
                Owned<char> name(hivex_node_name(h, *c));
                if (!name) return Status::error("无法读取项名：" + errnoText(errno), errno);
                plain = nameOf(name.get());
            }
            std::u16string childName = std::move(*plain);
            // A hive with two keys of one name is damaged; the first is the one Windows finds.
            if (key->findSubKey(childName)) continue;
            toVisit.emplace_back(*c, &key->addSubKey(std::move(childName)));
        }
    }
    return root;
}

std::optional<HiveValue> readHiveValue(const HivexFile& file, const KeyPath& path,
                                       std::u16string_view name) {
    const hive_node_h node = file.find(path);
    if (node == 0) return std::nullopt;
    const hive_value_h value = findValue(file.handle(), node, name);
    if (value == 0) return std::nullopt;
    hive_type type = hive_t_REG_NONE;
    size_t length = 0;
    Owned<char> data(hivex_value_value(file.handle(), value, &type, &length));
    if (!data) return std::nullopt;
    return HiveValue{static_cast<std::uint32_t>(type), std::string(data.get(), length)};
}

std::vector<std::u16string> subKeyNames(const HivexFile& file, const KeyPath& path) {
    std::vector<std::u16string> names;
    const hive_node_h node = file.find(path);
    if (node == 0) return names;
    Owned<hive_node_h> children(hivex_node_children(file.handle(), node));
    if (!children) return names;
    for (const hive_node_h* c = children.get(); *c; ++c) {
        Owned<char> name(hivex_node_name(file.handle(), *c));
        if (name) names.push_back(nameOf(name.get()));
    }
    return names;
}

Status applyChange(HivexFile& file, const TreeChange& change) {
    hive_h* h = file.handle();
    switch (change.kind) {
        case TreeChange::Kind::CreateKey: {
            if (change.isVolatile) return Status::ok();
            std::size_t existed = 0;
            auto made = makePath(h, change.path, &existed);
            if (!made) return made.status();
            // Every key the change made carries its class, as the registry made them.
            if (change.keyClass && !change.keyClass->empty()) {
                for (std::size_t n = existed + 1; n <= change.path.size(); ++n)
                    file.addClass(KeyPath(change.path.begin(), change.path.begin() + n),
                                  *change.keyClass);
            }
            return Status::ok();
        }
        case TreeChange::Kind::SetValue: {
            auto node = makePath(h, change.path);
            if (!node) return node.status();
            auto name = utf8Name(change.valueName);
            if (!name) return name.status();
            std::string data(change.data.begin(), change.data.end());
            hive_set_value value{name.value().data(), static_cast<hive_type>(change.type),
                                 data.size(), data.data()};
            errno = 0;
            if (hivex_node_set_value(h, node.value(), &value, 0) != 0)
                return Status::error("无法写入值：" + errnoText(errno), errno);
            return Status::ok();
        }
        case TreeChange::Kind::DeleteValue: {
            const hive_node_h node = file.find(change.path);
            if (node == 0 || findValue(h, node, change.valueName) == 0) return Status::ok();
            // The library replaces a key's values only all at once: the others are written
            // again as they were, in their order.
            auto values = readValues(h, node);
            if (!values) return values.status();
            std::vector<hive_set_value> kept;
            for (RawValue& v : values.value()) {
                if (namesEqual(v.name, change.valueName)) continue;
                kept.push_back({v.utf8Name.data(), v.type, v.data.size(), v.data.data()});
            }
            errno = 0;
            if (hivex_node_set_values(h, node, kept.size(), kept.data(), 0) != 0)
                return Status::error("无法删除值：" + errnoText(errno), errno);
            return Status::ok();
        }
        case TreeChange::Kind::DeleteKey: {
            const hive_node_h node = file.find(change.path);
            if (node == 0 || change.path.empty()) return Status::ok();
            // As the registry does, a key that gained sub-keys meanwhile stays.
            if (hivex_node_nr_children(h, node) != 0) return Status::ok();
            errno = 0;
            if (hivex_node_delete_child(h, node) != 0)
                return Status::error("无法删除项：" + errnoText(errno), errno);
            return Status::ok();
        }
    }
    return Status::ok();
}

Status compareKeyValues(const HivexFile& file, const KeyPath& path, const TreeKey* expected) {
    const hive_node_h node = file.find(path);
    std::string where;
    for (const auto& name : path) where += "\\" + utf16ToUtf8(name).valueOr("?");
    if (!expected) {
        if (node == 0 || path.empty()) return Status::ok();
        return Status::error("项 " + where + " 本应已删除，文件中却仍在");
    }
    if (node == 0) return Status::error("文件中缺少项 " + where);
    auto values = readValues(file.handle(), node);
    if (!values) return values.status();
    if (values.value().size() != expected->values.size())
        return Status::error("项 " + where + " 中值的个数与预期不符");
    for (const RawValue& v : values.value()) {
        const TreeValue* want = expected->findValue(v.name);
        if (!want || want->type != static_cast<std::uint32_t>(v.type) ||
            std::string(want->data.begin(), want->data.end()) != v.data)
            return Status::error("项 " + where + " 的值 " + v.utf8Name + " 与预期不符");
    }
    return Status::ok();
}

}  // namespace hivora
