#include "common/palm/PmTypes.h"

namespace lazrine::palm {

const char* PmStoreKindName(PmStoreKind kind) {
    switch (kind) {
        case PM_STORE_CLASSIC:
            return "classic";
        case PM_STORE_EXTENDED:
            return "extended";
        case PM_STORE_DATABASE:
            return "database";
        case PM_STORE_HANDHELD:
            return "handheld";
        case PM_STORE_FAILED:
            return "failed";
        case PM_STORE_NONE:
            break;
    }
    return "none";
}

namespace {

std::uint32_t U32At(std::span<const std::uint8_t> data, std::size_t at) {
    return static_cast<std::uint32_t>(data[at]) | static_cast<std::uint32_t>(data[at + 1]) << 8 |
           static_cast<std::uint32_t>(data[at + 2]) << 16 | static_cast<std::uint32_t>(data[at + 3]) << 24;
}

}  // namespace

std::size_t PmBlobBytes::FieldSize(std::span<const std::uint8_t> data) {
    if (data.size() < 8) {
        return 0;
    }
    const std::uint32_t form = U32At(data, 4);
    std::uint64_t size = 8;
    if (form >= 1 && form <= 3) {
        if (data.size() < 20) {
            return 0;
        }
        size = 20 + static_cast<std::uint64_t>(U32At(data, 16));
    } else if (form > 3) {
        size = 8 + static_cast<std::uint64_t>(form);
    }
    return size <= data.size() ? static_cast<std::size_t>(size) : 0;
}

std::span<const std::uint8_t> PmBlobBytes::FieldBytes(std::size_t index) const {
    std::span<const std::uint8_t> rest(bytes);
    for (std::size_t i = 0;; ++i) {
        const std::size_t size = FieldSize(rest);
        if (size == 0) {
            return {};
        }
        if (i == index) {
            return rest.first(size);
        }
        rest = rest.subspan(size);
    }
}

PmBlobField PmBlobBytes::Field(std::size_t index) const {
    PmBlobField blob;
    const std::span<const std::uint8_t> field = FieldBytes(index);
    if (field.empty()) {
        return blob;
    }
    blob.nTag = U32At(field, 0);
    blob.nForm = U32At(field, 4);
    std::size_t dataAt = 8;
    if (blob.nForm >= 1 && blob.nForm <= 3) {
        blob.nValueA = U32At(field, 8);
        blob.nValueB = U32At(field, 12);
        blob.nDataLength = U32At(field, 16);
        dataAt = 20;
    } else if (blob.nForm > 3) {
        blob.nDataLength = blob.nForm;
    }
    blob.data.assign(field.begin() + static_cast<std::ptrdiff_t>(dataAt), field.end());
    return blob;
}

}  // namespace lazrine::palm
