#include "browse/word_index/word_index_format.h"

#include <cstring>

#include "store/content_hash.h"

namespace word_index {
namespace {

void PutSection(std::vector<unsigned char>& out, const Section& section) {
    PutU64(out, section.offset);
    PutU64(out, section.length);
    PutU64(out, section.hash);
}

Section SectionAt(const unsigned char*& p) {
    Section section;
    section.offset = U64At(p);
    section.length = U64At(p + 8);
    section.hash = U64At(p + 16);
    p += 24;
    return section;
}

}  // namespace

void PutU32(std::vector<unsigned char>& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void PutU64(std::vector<unsigned char>& out, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void PutVarint(std::vector<unsigned char>& out, std::uint64_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<unsigned char>(value | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<unsigned char>(value));
}

std::uint32_t U32At(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint64_t U64At(const unsigned char* p) {
    return static_cast<std::uint64_t>(U32At(p)) | static_cast<std::uint64_t>(U32At(p + 4)) << 32;
}

std::vector<unsigned char> EncodeHeader(const Header& header) {
    std::vector<unsigned char> out(kMagic, kMagic + sizeof kMagic);
    PutU32(out, kVersion);
    PutU32(out, header.code);
    for (const FileFingerprint& file : header.files) {
        PutU64(out, file.device);
        PutU64(out, file.inode);
        PutU64(out, static_cast<std::uint64_t>(file.size));
        PutU64(out, static_cast<std::uint64_t>(file.modified));
        PutU64(out, file.headTail);
    }
    PutU64(out, header.entriesHeld);
    PutU64(out, header.people);
    PutU32(out, header.slotCount);
    PutU64(out, header.words);
    for (const Section* section :
         {&header.people_, &header.peopleBlocks, &header.postings, &header.dictionary, &header.directory,
          &header.years, &header.columns, &header.columnData}) {
        PutSection(out, *section);
    }
    PutU64(out, header.fileSize);
    out.resize(kHeaderSize - 8, 0);
    PutU64(out, ContentHash(out.data(), out.size()));
    return out;
}

bool DecodeHeader(const unsigned char* bytes, Header& header) {
    if (std::memcmp(bytes, kMagic, sizeof kMagic) != 0) return false;
    if (ContentHash(bytes, kHeaderSize - 8) != U64At(bytes + kHeaderSize - 8)) return false;
    const unsigned char* p = bytes + sizeof kMagic;
    if (U32At(p) != kVersion) return false;
    header.code = U32At(p + 4);
    p += 8;
    for (FileFingerprint& file : header.files) {
        file.device = U64At(p);
        file.inode = U64At(p + 8);
        file.size = static_cast<std::int64_t>(U64At(p + 16));
        file.modified = static_cast<std::int64_t>(U64At(p + 24));
        file.headTail = U64At(p + 32);
        p += 40;
    }
    header.entriesHeld = U64At(p);
    header.people = U64At(p + 8);
    header.slotCount = U32At(p + 16);
    header.words = U64At(p + 20);
    p += 28;
    for (Section* section : {&header.people_, &header.peopleBlocks, &header.postings, &header.dictionary,
                             &header.directory, &header.years, &header.columns, &header.columnData}) {
        *section = SectionAt(p);
    }
    header.fileSize = U64At(p);
    return true;
}

}  // namespace word_index
