#include <string>

#include "core/carried_blobs.h"
#include "core/win32_api.h"

namespace vn {

std::span<const std::uint8_t> FindCarriedBlob(std::string_view name) {
  const std::string zeroTerminated(name);
  constexpr WORD kBlobResourceType = 100;
  HRSRC info = FindResourceA(nullptr, zeroTerminated.c_str(), MAKEINTRESOURCEA(kBlobResourceType));
  if (info == nullptr) return {};
  HGLOBAL handle = LoadResource(nullptr, info);
  if (handle == nullptr) return {};
  const DWORD size = SizeofResource(nullptr, info);
  const void* bytes = LockResource(handle);
  if (bytes == nullptr) return {};
  // A module's resources stay mapped while the module is loaded, so the span
  // outlives FreeResource (which is a no-op on 32- and 64-bit Windows).
  FreeResource(handle);
  return {static_cast<const std::uint8_t*>(bytes), size};
}

}  // namespace vn
