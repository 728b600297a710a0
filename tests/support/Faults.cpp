#include "tests/support/Faults.h"

#include <cstdio>
#include <exception>

#include "compress/CompressErrors.h"
#include "toolkit/Exception.h"

TFault CurrentFault() {
  try {
    throw;
  } catch (const EInvalidHeader&) {
    return TFault::fInvalidHeader;
  } catch (const EInvalidHeaderArchiveType&) {
    return TFault::fArchiveType;
  } catch (const EUnrecognizedCompressionMethod&) {
    return TFault::fUnknownMethod;
  } catch (const EInvalidMemberSize&) {
    return TFault::fMemberSize;
  } catch (const EInsufficientDiskSpace&) {
    return TFault::fDiskSpace;
  } catch (const EBadChecksum&) {
    return TFault::fBadChecksum;
  } catch (const EReadError&) {
    return TFault::fReadError;
  } catch (const EWriteError&) {
    return TFault::fWriteError;
  } catch (const EInOutError&) {
    return TFault::fInOut;
  } catch (const EFCreateError&) {
    return TFault::fFileCreate;
  } catch (const Exception& e) {
    std::fprintf(stderr, "unexpected Exception: %s\n", e.what());
    return TFault::fOtherException;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "foreign exception: %s\n", e.what());
    return TFault::fForeign;
  } catch (...) {
    return TFault::fForeign;
  }
}

const char* FaultName(TFault fault) {
  switch (fault) {
    case TFault::fNone:
      return "none";
    case TFault::fInvalidHeader:
      return "EInvalidHeader";
    case TFault::fArchiveType:
      return "EInvalidHeaderArchiveType";
    case TFault::fUnknownMethod:
      return "EUnrecognizedCompressionMethod";
    case TFault::fMemberSize:
      return "EInvalidMemberSize";
    case TFault::fDiskSpace:
      return "EInsufficientDiskSpace";
    case TFault::fBadChecksum:
      return "EBadChecksum";
    case TFault::fReadError:
      return "EReadError";
    case TFault::fWriteError:
      return "EWriteError";
    case TFault::fInOut:
      return "EInOutError";
    case TFault::fFileCreate:
      return "EFCreateError";
    case TFault::fOtherException:
      return "another Exception";
    case TFault::fForeign:
      return "a foreign exception";
  }
  return "?";
}

std::string FaultOf(const std::function<void()>& operation) {
  try {
    operation();
  } catch (...) {
    return FaultName(CurrentFault());
  }
  return "";
}
