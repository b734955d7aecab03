#include "platform/win32/design_fonts.h"

#include <string>

#include "platform/win32/dpi.h"
#include "platform/win32/utf.h"

namespace platform::win32 {

namespace {

constexpr std::string_view kFaceName = "ＭＳ Ｐゴシック";

}  // namespace

UniqueFont createDesignFont(int designHeight, UINT dpi) {
  LOGFONTW font{};
  // A negative height asks for the character height, not the cell height.
  font.lfHeight = -scaleToDpi(designHeight, dpi);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = SHIFTJIS_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  const std::wstring face = widen(kFaceName);
  face.copy(font.lfFaceName, LF_FACESIZE - 1);
  return UniqueFont(CreateFontIndirectW(&font));
}

}  // namespace platform::win32
