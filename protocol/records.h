#pragma once
// The module's objects as records, and their byte images on the wire.
//
// Each record lists its fields once, with name and offset, in Fields(). The image functions,
// the compile-time layout checks and everything that walks a record by field (file formats,
// comparisons) are built on that one list, so a layout is written down in a single place.
// 16-bit fields are little-endian in the image whatever the host; nothing is ever cast to a
// packed struct.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>

namespace ethconf {

using TIpv4 = std::array<std::uint8_t, 4>;
using TMacAddress = std::array<std::uint8_t, 6>;

// A fixed-width field of 8-bit characters, padded with 0x00 when the text is shorter.
template <std::size_t N>
struct TCharField {
  static constexpr std::size_t kWidth = N;
  std::array<std::uint8_t, N> bytes{};
  friend bool operator==(const TCharField&, const TCharField&) = default;
};

template <class T>
struct TFieldWidth;
template <>
struct TFieldWidth<std::uint8_t> : std::integral_constant<std::size_t, 1> {};
template <>
struct TFieldWidth<std::uint16_t> : std::integral_constant<std::size_t, 2> {};
template <std::size_t N>
struct TFieldWidth<std::array<std::uint8_t, N>> : std::integral_constant<std::size_t, N> {};
template <std::size_t N>
struct TFieldWidth<TCharField<N>> : std::integral_constant<std::size_t, N> {};

template <class T>
inline constexpr std::size_t kFieldWidth = TFieldWidth<std::remove_const_t<T>>::value;

struct TEthVersion {
  static constexpr std::size_t kSize = 23;
  std::uint8_t Major = 0;
  std::uint8_t Minor = 0;
  TCharField<12> CompilationDate;
  TCharField<9> CompilationTime;

  template <class Self, class Visit>
  static constexpr void Fields(Self& r, Visit&& v) {
    v("Major", r.Major, 0);
    v("Minor", r.Minor, 1);
    v("CompilationDate", r.CompilationDate, 2);
    v("CompilationTime", r.CompilationTime, 14);
  }
  friend bool operator==(const TEthVersion&, const TEthVersion&) = default;
};

struct TEthStatus {
  static constexpr std::size_t kSize = 43;
  std::uint8_t Status = 0;
  TCharField<32> StatusTxt;
  TIpv4 IP{};
  TMacAddress MAC{};

  template <class Self, class Visit>
  static constexpr void Fields(Self& r, Visit&& v) {
    v("Status", r.Status, 0);
    v("StatusTxt", r.StatusTxt, 1);
    v("IP", r.IP, 33);
    v("MAC", r.MAC, 37);
  }
  friend bool operator==(const TEthStatus&, const TEthStatus&) = default;
};

struct TEthConfig {
  static constexpr std::size_t kSize = 19;
  std::uint8_t DHCP = 0;
  TIpv4 IP{};
  TIpv4 Mask{};
  TIpv4 Gateway{};
  TIpv4 DNS{};
  std::uint16_t Port = 0;

  template <class Self, class Visit>
  static constexpr void Fields(Self& r, Visit&& v) {
    v("DHCP", r.DHCP, 0);
    v("IP", r.IP, 1);
    v("Mask", r.Mask, 5);
    v("Gateway", r.Gateway, 9);
    v("DNS", r.DNS, 13);
    v("Port", r.Port, 17);
  }
  friend bool operator==(const TEthConfig&, const TEthConfig&) = default;
};

struct TEthToken {
  static constexpr std::size_t kSize = 16;
  TCharField<16> Token;

  template <class Self, class Visit>
  static constexpr void Fields(Self& r, Visit&& v) {
    v("Token", r.Token, 0);
  }
  friend bool operator==(const TEthToken&, const TEthToken&) = default;
};

struct TEthREST {
  static constexpr std::size_t kSize = 240;
  TCharField<65> Address1;
  std::uint16_t Port1 = 0;
  TCharField<65> Address2;
  std::uint16_t Port2 = 0;
  TCharField<65> SELAddress;
  TCharField<41> Key;

  template <class Self, class Visit>
  static constexpr void Fields(Self& r, Visit&& v) {
    v("Address1", r.Address1, 0);
    v("Port1", r.Port1, 65);
    v("Address2", r.Address2, 67);
    v("Port2", r.Port2, 132);
    v("SELAddress", r.SELAddress, 134);
    v("Key", r.Key, 199);
  }
  friend bool operator==(const TEthREST&, const TEthREST&) = default;
};

struct TEthPeriod {
  static constexpr std::size_t kSize = 4;
  std::uint16_t DataInterval = 0;
  std::uint16_t RESTInterval = 0;

  template <class Self, class Visit>
  static constexpr void Fields(Self& r, Visit&& v) {
    v("DataInterval", r.DataInterval, 0);
    v("RESTInterval", r.RESTInterval, 2);
  }
  friend bool operator==(const TEthPeriod&, const TEthPeriod&) = default;
};

struct TEthNTP {
  static constexpr std::size_t kSize = 69;
  TCharField<65> Address;
  std::uint16_t Port = 0;
  std::uint8_t SyncHour = 0;
  std::uint8_t SyncMinute = 0;

  template <class Self, class Visit>
  static constexpr void Fields(Self& r, Visit&& v) {
    v("Address", r.Address, 0);
    v("Port", r.Port, 65);
    v("SyncHour", r.SyncHour, 67);
    v("SyncMinute", r.SyncMinute, 68);
  }
  friend bool operator==(const TEthNTP&, const TEthNTP&) = default;
};

struct TEthPassword {
  static constexpr std::size_t kSize = 21;
  TCharField<21> Password;

  template <class Self, class Visit>
  static constexpr void Fields(Self& r, Visit&& v) {
    v("Password", r.Password, 0);
  }
  friend bool operator==(const TEthPassword&, const TEthPassword&) = default;
};

// True when the fields follow each other without gaps or overlaps from offset 0 and end exactly
// at the record's size.
template <class R>
constexpr bool LayoutIsPacked() {
  R record{};
  std::size_t next = 0;
  bool packed = true;
  R::Fields(record, [&](const char*, auto& field, std::size_t offset) {
    packed = packed && offset == next;
    next = offset + kFieldWidth<std::remove_reference_t<decltype(field)>>;
  });
  return packed && next == R::kSize;
}

static_assert(LayoutIsPacked<TEthVersion>());
static_assert(LayoutIsPacked<TEthStatus>());
static_assert(LayoutIsPacked<TEthConfig>());
static_assert(LayoutIsPacked<TEthToken>());
static_assert(LayoutIsPacked<TEthREST>());
static_assert(LayoutIsPacked<TEthPeriod>());
static_assert(LayoutIsPacked<TEthNTP>());
static_assert(LayoutIsPacked<TEthPassword>());

template <class R>
using TImage = std::array<std::uint8_t, R::kSize>;

// The record as the bytes that travel on the wire and lie in files.
template <class R>
constexpr TImage<R> ToImage(const R& record) {
  TImage<R> image{};
  R::Fields(record, [&](const char*, const auto& field, std::size_t offset) {
    using F = std::remove_cvref_t<decltype(field)>;
    if constexpr (std::is_same_v<F, std::uint8_t>) {
      image[offset] = field;
    } else if constexpr (std::is_same_v<F, std::uint16_t>) {
      image[offset] = static_cast<std::uint8_t>(field & 0xFFU);
      image[offset + 1] = static_cast<std::uint8_t>(field >> 8);
    } else if constexpr (requires { field.bytes; }) {
      std::copy(field.bytes.begin(), field.bytes.end(), image.begin() + offset);
    } else {
      std::copy(field.begin(), field.end(), image.begin() + offset);
    }
  });
  return image;
}

template <class R>
constexpr void FromImage(R& record, std::span<const std::uint8_t, R::kSize> image) {
  R::Fields(record, [&](const char*, auto& field, std::size_t offset) {
    using F = std::remove_cvref_t<decltype(field)>;
    if constexpr (std::is_same_v<F, std::uint8_t>) {
      field = image[offset];
    } else if constexpr (std::is_same_v<F, std::uint16_t>) {
      field = static_cast<std::uint16_t>(image[offset] | (image[offset + 1] << 8));
    } else if constexpr (requires { field.bytes; }) {
      std::copy_n(image.begin() + offset, field.bytes.size(), field.bytes.begin());
    } else {
      std::copy_n(image.begin() + offset, field.size(), field.begin());
    }
  });
}

template <class R>
constexpr R RecordFromImage(std::span<const std::uint8_t, R::kSize> image) {
  R record{};
  FromImage(record, image);
  return record;
}

}  // namespace ethconf
