// The events of the archive component. Each is bound to its receiver and is called only
// when assigned; results come back through the reference parameters.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class TStream;

enum class TCProcessMode : uint8_t { pmCompressing = 0, pmExpanding = 1 };

using TCompressEvent = std::function<void(TStream& dest, TStream& source, std::string& CompressID,
                                          int32_t& Outputsize, int32_t& checksum)>;
using TExpandEvent =
    std::function<void(TStream& dest, TStream& source, int32_t Sourcesize, int32_t Destsize,
                       const std::string& CompressID, int32_t& checksum)>;
using TRecognizeEvent = std::function<void(const std::string& CompressID, bool& recognized)>;
using TFilenameCheckEvent = std::function<void(std::string& filepath, TCProcessMode mode)>;
using TShowProgressEvent = std::function<void(int32_t& PercentageDone)>;
