#include "platform/os/FileBytes.h"

#include <utility>

const std::uint8_t* FileBytes::data() const {
    if (length_ == 0)
        return nullptr;
    return usesOwned_ ? owned_.data() : mapping_.data() + offset_;
}

void FileBytes::SetMapped(FileMapping mapping, std::size_t offset, std::size_t length) {
    Clear();
    mapping_ = std::move(mapping);
    offset_ = offset;
    length_ = length;
}

void FileBytes::SetOwned(std::vector<std::uint8_t> bytes) {
    Clear();
    owned_ = std::move(bytes);
    usesOwned_ = true;
    length_ = owned_.size();
}

void FileBytes::Clear() {
    mapping_.Close();
    std::vector<std::uint8_t>().swap(owned_);
    usesOwned_ = false;
    offset_ = 0;
    length_ = 0;
}
