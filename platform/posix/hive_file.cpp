#include "platform/posix/hive_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <functional>

#include "platform/posix/durable_file.h"

namespace hivora {

namespace {

std::uint32_t le32(std::string_view bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
    return v;
}

// Reads `count` bytes at `offset` of the hive into `out`; false when the file ends before.
using ReadAt = std::function<bool(std::uint64_t offset, std::size_t count, std::string& out)>;

// Walks the hive bins the base block counts, reading only their headers, so that a file of any
// size is checked without holding it. Empty when they are all there, else what is wrong.
std::string checkBins(const HiveBaseBlock& base, std::uint64_t fileSize, const ReadAt& read) {
    if (base.binsSize == 0 || base.binsSize % kHiveBinAlignment != 0)
        return "基本块记录的数据大小 " + std::to_string(base.binsSize) + " 不对";
    if (fileSize < kHiveBaseBlockSize + std::uint64_t{base.binsSize})
        return "文件只有 " + std::to_string(fileSize) + " 字节，比基本块所记的 " +
               std::to_string(kHiveBaseBlockSize + std::uint64_t{base.binsSize}) +
               " 字节短，已被截断";
    if (base.rootCellOffset >= base.binsSize) return "根项的位置超出了文件";
    std::string header;
    for (std::uint64_t at = 0; at < base.binsSize;) {
        if (!read(kHiveBaseBlockSize + at, 32, header))
            return "文件在第 " + std::to_string(at) + " 字节处中断";
        const std::uint32_t size = le32(header, 8);
        if (header.compare(0, 4, "hbin") != 0 || le32(header, 4) != at || size == 0 ||
            size % kHiveBinAlignment != 0 || at + size > base.binsSize)
            return "偏移 " + std::to_string(at) + " 处的数据块（hbin）损坏";
        at += size;
    }
    return {};
}

// Whether a log holds changes the hive does not have yet. New-kind logs: an entry whose sequence
// number is past the hive's last finished write. Old-kind logs: a log written completely for
// this very hive (same last-written time) at a later sequence number.
bool logIsNewer(const HiveBaseBlock& hive, std::string_view log) {
    const auto base = readHiveBaseBlock(log);
    if (!base || !base->checksumRight) return false;  // an invalid log is never replayed
    if (base->fileType == 6) {
        for (std::size_t at = 512; at + 40 <= log.size();) {
            if (log.compare(at, 4, "HvLE") != 0) break;
            const std::uint32_t size = le32(log, at + 4);
            if (size < 40 || size % 512 != 0 || at + size > log.size()) break;
            if (le32(log, at + 12) > hive.secondarySequence) return true;
            at += size;
        }
        return false;
    }
    if (base->fileType == 1 || base->fileType == 2) {
        return base->primarySequence == base->secondarySequence &&
               base->lastWritten == hive.lastWritten &&
               base->secondarySequence > hive.secondarySequence;
    }
    return false;
}

HiveInspection inspect(const std::string& name, std::uint64_t fileSize, const ReadAt& read,
                       std::string_view log1, std::string_view log2) {
    HiveInspection result;
    result.fileSize = fileSize;
    std::string block;
    if (!read(0, 512, block)) {
        result.detail = "注册表文件 " + name + " 太短，不是完整的注册表配置单元";
        return result;
    }
    const auto base = readHiveBaseBlock(block);
    if (!base || base->fileType != 0) {
        result.detail = "文件 " + name + " 不是注册表配置单元（没有 regf 文件头）";
        return result;
    }
    if (std::string broken = checkBins(*base, fileSize, read); !broken.empty()) {
        result.detail = "注册表文件 " + name + " 已损坏：" + broken;
        return result;
    }
    if (!base->checksumRight || base->primarySequence != base->secondarySequence) {
        result.condition = HiveCondition::Dirty;
        result.detail = "注册表文件 " + name +
                        " 上次未写完（文件头的两个序号不一致或校验和不对），Windows "
                        "下次启动时会用事务日志补全它";
        return result;
    }
    for (std::string_view log : {log1, log2}) {
        if (logIsNewer(*base, log)) {
            result.condition = HiveCondition::LogsNewer;
            result.detail = "注册表文件 " + name +
                            " 的事务日志（.LOG1/.LOG2）中有比文件本身更新的改动，Windows "
                            "下次启动时会把它们写入文件";
            return result;
        }
    }
    result.condition = HiveCondition::Clean;
    return result;
}

// The sibling of `path` named <file name><suffix> in any case; "" when there is none.
std::string findSibling(const std::string& path, const std::string& suffix) {
    const std::string folder = folderOfPath(path);
    const std::size_t slash = path.rfind('/');
    const std::string wanted =
        (slash == std::string::npos ? path : path.substr(slash + 1)) + suffix;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return {};
    std::string found;
    while (const dirent* entry = ::readdir(dir)) {
        if (::strcasecmp(entry->d_name, wanted.c_str()) == 0) {
            found = folder + "/" + entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

std::string readLog(const std::string& path) {
    if (path.empty()) return {};
    // A log far larger than any Windows writes is not read; it cannot be one.
    ReadRules rules;
    rules.maxBytes = 256ULL << 20;
    auto bytes = readWholeFile(path, nullptr, rules);
    return bytes ? std::move(bytes).value() : std::string();
}

}  // namespace

std::uint32_t hiveBaseBlockChecksum(std::string_view block) {
    std::uint32_t sum = 0;
    for (std::size_t at = 0; at < 508; at += 4) sum ^= le32(block, at);
    return sum;
}

std::optional<HiveBaseBlock> readHiveBaseBlock(std::string_view bytes) {
    if (bytes.size() < 512 || bytes.compare(0, 4, "regf") != 0) return std::nullopt;
    HiveBaseBlock base;
    base.primarySequence = le32(bytes, 4);
    base.secondarySequence = le32(bytes, 8);
    base.lastWritten = le32(bytes, 12) | (std::uint64_t{le32(bytes, 16)} << 32);
    base.fileType = le32(bytes, 28);
    base.rootCellOffset = le32(bytes, 36);
    base.binsSize = le32(bytes, 40);
    // Windows stores 0 and all ones as 1 and all ones less one; other writers store the sum.
    const std::uint32_t sum = hiveBaseBlockChecksum(bytes), stored = le32(bytes, 508);
    base.checksumRight =
        stored == sum || (sum == 0 && stored == 1) || (sum == 0xFFFFFFFFu && stored == 0xFFFFFFFEu);
    return base;
}

HiveInspection inspectHiveBytes(const std::string& name, std::string_view hive,
                                std::string_view log1, std::string_view log2) {
    const ReadAt read = [hive](std::uint64_t offset, std::size_t count, std::string& out) {
        if (offset + count > hive.size()) return false;
        out.assign(hive.substr(offset, count));
        return true;
    };
    return inspect(name, hive.size(), read, log1, log2);
}

HiveInspection inspectHiveFile(const std::string& path) {
    HiveInspection failed;
    if (Status s = checkFileReadable(path); !s.isOk()) {
        failed.detail = "无法读取注册表文件 " + path + "：" + readFailureReason(s);
        return failed;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        if (fd >= 0) ::close(fd);
        failed.detail = "无法读取注册表文件 " + path + "：" + std::strerror(errno);
        return failed;
    }
    const ReadAt read = [fd](std::uint64_t offset, std::size_t count, std::string& out) {
        out.assign(count, '\0');
        std::size_t done = 0;
        while (done < count) {
            const ssize_t n =
                ::pread(fd, out.data() + done, count - done, static_cast<off_t>(offset + done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    };
    const std::string log1 = readLog(findSibling(path, ".LOG1"));
    const std::string log2 = readLog(findSibling(path, ".LOG2"));
    HiveInspection result =
        inspect(path, static_cast<std::uint64_t>(info.st_size), read, log1, log2);
    ::close(fd);
    return result;
}

}  // namespace hivora
