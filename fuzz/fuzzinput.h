#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace dedur::fuzz {

// Takes typed values off the front of a fuzzer input; past its end every
// value is zero.
class Input {
  public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    int16_t int16() {
        const int lo = byte();
        const int hi = byte();
        return static_cast<int16_t>(lo | (hi << 8));
    }
    // A value in low..high.
    int range(int low, int high) {
        const unsigned span = static_cast<unsigned>(high - low + 1);
        return low + static_cast<int>(static_cast<uint16_t>(int16()) % span);
    }
    std::string rest() {
        std::string s(reinterpret_cast<const char*>(data_ + pos_), size_ - pos_);
        pos_ = size_;
        return s;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

} // namespace dedur::fuzz
