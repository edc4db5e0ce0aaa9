#ifndef CIRCARRAY_SEISIO_SAC_LAYOUT_H_
#define CIRCARRAY_SEISIO_SAC_LAYOUT_H_

// The SAC binary layout shared by the reader and the writer. A file is a
// header of 158 four-byte words, the samples as 32-bit floats, and, in
// header version 7, a footer of 22 doubles. Every word and double is in
// the byte order of the file, which the version word (NVHDR) reveals.
//
//   words   0-69   floats (DELTA, B, E, ...)
//   words  70-104  integers (NZYEAR ... NPTS, enumerations IFTYPE ...)
//   words 105-109  logicals (LEVEN ...)
//   words 110-157  text fields: KSTNM (8 bytes), KEVNM (16), then 8 bytes each

#include <cstddef>
#include <cstdint>

namespace seisio::sac {

inline constexpr size_t kHeaderWords = 158;
inline constexpr size_t kHeaderBytes = kHeaderWords * 4;  // 632
inline constexpr size_t kFooterDoubles = 22;
inline constexpr size_t kFooterBytes = kFooterDoubles * 8;  // 176

// Word indices.
inline constexpr size_t kDelta = 0;
inline constexpr size_t kDepmin = 1;
inline constexpr size_t kDepmax = 2;
inline constexpr size_t kB = 5;
inline constexpr size_t kE = 6;
inline constexpr size_t kDepmen = 56;
inline constexpr size_t kNzyear = 70;
inline constexpr size_t kNzjday = 71;
inline constexpr size_t kNzhour = 72;
inline constexpr size_t kNzmin = 73;
inline constexpr size_t kNzsec = 74;
inline constexpr size_t kNzmsec = 75;
inline constexpr size_t kNvhdr = 76;
inline constexpr size_t kNpts = 79;
inline constexpr size_t kIftype = 85;
inline constexpr size_t kIdep = 86;
inline constexpr size_t kIztype = 87;
inline constexpr size_t kLeven = 105;
inline constexpr size_t kLpspol = 106;
inline constexpr size_t kLovrok = 107;
inline constexpr size_t kLcalda = 108;

// Byte offsets of the text fields used here.
inline constexpr size_t kKstnm = 440;   // 8 bytes
inline constexpr size_t kKevnm = 448;   // 16 bytes
inline constexpr size_t kKhole = 464;   // location code, 8 bytes
inline constexpr size_t kKcmpnm = 600;  // channel (component) name, 8 bytes
inline constexpr size_t kKnetwk = 608;  // network, 8 bytes
inline constexpr size_t kTextEnd = kHeaderBytes;

// Footer slots of version 7: DELTA, B, E, O, A, T0-T9, F, EVLO, EVLA,
// STLO, STLA, SB, SDELTA.
inline constexpr size_t kFooterDelta = 0;
inline constexpr size_t kFooterB = 1;

// Sampling intervals a file may state, in seconds: a nanosecond (the
// resolution of start times) to a million seconds; outside that the field
// is damaged.
inline constexpr double kShortestInterval = 1e-9;
inline constexpr double kLongestInterval = 1e6;

// Values.
inline constexpr int32_t kUndefinedInt = -12345;
inline constexpr float kUndefinedFloat = -12345.0f;
inline constexpr char kUndefinedText[] = "-12345";
inline constexpr int32_t kItime = 1;  // IFTYPE: evenly or unevenly spaced time series
inline constexpr int32_t kIrlim = 2;  // spectrum, real and imaginary
inline constexpr int32_t kIamph = 3;  // spectrum, amplitude and phase
inline constexpr int32_t kIxy = 4;    // general x-y data
inline constexpr int32_t kIunkn = 5;  // IDEP/IZTYPE: unknown
inline constexpr int32_t kIb = 9;     // IZTYPE: the reference time is the begin time

}  // namespace seisio::sac

#endif  // CIRCARRAY_SEISIO_SAC_LAYOUT_H_
