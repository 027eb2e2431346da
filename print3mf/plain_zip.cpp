#include "plain_zip.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t localSignature = 0x04034b50, centralSignature = 0x02014b50;
constexpr std::uint32_t endSignature = 0x06054b50, end64Signature = 0x06064b50, locatorSignature = 0x07064b50;
constexpr std::uint32_t wide = 0xFFFFFFFFu;      // "in the ZIP64 extra field"
constexpr std::uint16_t zip64Field = 0x0001;
constexpr std::uint16_t dataDescriptor = 0x0008, encrypted = 0x0001;

// Little-endian fields read within the archive's bounds.
class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    bool has(std::uint64_t at, std::uint64_t length) const
    {
        return at <= bytes_.size() && length <= bytes_.size() - at;
    }
    std::uint64_t number(std::uint64_t at, int length) const
    {
        std::uint64_t value = 0;
        for (int i = length; i-- > 0;)
            value = value << 8 | static_cast<unsigned char>(bytes_[at + i]);
        return value;
    }
    std::string_view slice(std::uint64_t at, std::uint64_t length) const { return bytes_.substr(at, length); }

private:
    std::string_view bytes_;
};

struct Part {
    std::string_view name;
    std::uint64_t method, crc, compressed, size, localHeader;
    std::string_view data;
};

struct Directory {
    std::uint64_t entries, offset;
};

std::optional<Directory> centralDirectory(const Reader& zip, std::uint64_t size)
{
    if (size < 22 || !zip.has(size - 22, 22) || zip.number(size - 22, 4) != endSignature)
        return std::nullopt;  // lib3mf writes no archive comment
    const std::uint64_t end = size - 22;
    Directory d{zip.number(end + 10, 2), zip.number(end + 16, 4)};
    if (d.entries != 0xFFFF && d.offset != wide)
        return d;
    const std::uint64_t locator = end - 20;
    if (end < 20 || zip.number(locator, 4) != locatorSignature)
        return std::nullopt;
    const std::uint64_t end64 = zip.number(locator + 8, 8);
    if (!zip.has(end64, 56) || zip.number(end64, 4) != end64Signature)
        return std::nullopt;
    return Directory{zip.number(end64 + 32, 8), zip.number(end64 + 48, 8)};
}

// The part whose central directory entry starts at `at`; `at` moves past it.
std::optional<Part> part(const Reader& zip, std::uint64_t& at)
{
    if (!zip.has(at, 46) || zip.number(at, 4) != centralSignature)
        return std::nullopt;
    if (zip.number(at + 8, 2) & (dataDescriptor | encrypted))
        return std::nullopt;
    Part p{{}, zip.number(at + 10, 2), zip.number(at + 16, 4), zip.number(at + 20, 4), zip.number(at + 24, 4),
           zip.number(at + 42, 4), {}};
    const std::uint64_t nameLength = zip.number(at + 28, 2), extraLength = zip.number(at + 30, 2);
    const std::uint64_t commentLength = zip.number(at + 32, 2);
    if (!zip.has(at + 46, nameLength + extraLength + commentLength))
        return std::nullopt;
    p.name = zip.slice(at + 46, nameLength);
    // The ZIP64 field holds, in this order, each of these that is marked wide.
    for (std::uint64_t field = at + 46 + nameLength, fieldsEnd = field + extraLength; field + 4 <= fieldsEnd;) {
        const std::uint64_t id = zip.number(field, 2), length = zip.number(field + 2, 2);
        if (field + 4 + length > fieldsEnd)
            return std::nullopt;
        if (id == zip64Field) {
            std::uint64_t value = field + 4;
            for (std::uint64_t* wideValue : {&p.size, &p.compressed, &p.localHeader})
                if (*wideValue == wide && value + 8 <= field + 4 + length) {
                    *wideValue = zip.number(value, 8);
                    value += 8;
                }
        }
        field += 4 + length;
    }
    at += 46 + nameLength + extraLength + commentLength;
    const std::uint64_t local = p.localHeader;
    if (!zip.has(local, 30) || zip.number(local, 4) != localSignature)
        return std::nullopt;
    const std::uint64_t dataStart = local + 30 + zip.number(local + 26, 2) + zip.number(local + 28, 2);
    if (!zip.has(dataStart, p.compressed))
        return std::nullopt;
    p.data = zip.slice(dataStart, p.compressed);
    return p;
}

void put(std::string& to, std::uint64_t value, int length)
{
    for (int i = 0; i < length; ++i)
        to.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// What the local header and the directory entry share: from the version
// needed to the name's length and an empty extra field.
void putCommon(std::string& to, const Part& p)
{
    put(to, 20, 2);      // version 2.0: deflate
    put(to, 0, 2);       // flags
    put(to, p.method, 2);
    put(to, 0, 2);       // 00:00
    put(to, 0x21, 2);    // 1980-01-01
    put(to, p.crc, 4);
    put(to, p.compressed, 4);
    put(to, p.size, 4);
    put(to, p.name.size(), 2);
    put(to, 0, 2);
}

}  // namespace

bool writePlainZip(std::string_view bytes, const std::function<void(std::string_view)>& write)
{
    const Reader zip(bytes);
    const std::optional<Directory> directory = centralDirectory(zip, bytes.size());
    if (!directory)
        return false;
    std::vector<Part> parts;
    std::uint64_t at = directory->offset;
    for (std::uint64_t i = 0; i < directory->entries; ++i) {
        std::optional<Part> p = part(zip, at);
        if (!p)
            return false;
        parts.push_back(*p);
    }
    // Plain headers are never longer than lib3mf's: every place fits when the archive does.
    bool needs64 = parts.size() >= 0xFFFF || bytes.size() >= wide;
    for (const Part& p : parts)
        needs64 = needs64 || p.size >= wide || p.compressed >= wide;
    if (needs64) {
        write(bytes);
        return true;
    }
    std::string central;
    std::uint64_t offset = 0;
    for (const Part& p : parts) {
        std::string local;
        put(local, localSignature, 4);
        putCommon(local, p);
        local.append(p.name);
        write(local);
        write(p.data);
        put(central, centralSignature, 4);
        put(central, 20, 2);  // made by MS-DOS, version 2.0
        putCommon(central, p);
        put(central, 0, 2);   // comment
        put(central, 0, 2);   // disk
        put(central, 0, 2);   // internal attributes
        put(central, 0, 4);   // external attributes
        put(central, offset, 4);
        central.append(p.name);
        offset += local.size() + p.data.size();
    }
    std::string end;
    put(end, endSignature, 4);
    put(end, 0, 4);  // this disk, the directory's disk
    put(end, parts.size(), 2);
    put(end, parts.size(), 2);
    put(end, central.size(), 4);
    put(end, offset, 4);
    put(end, 0, 2);  // comment
    write(central);
    write(end);
    return true;
}
