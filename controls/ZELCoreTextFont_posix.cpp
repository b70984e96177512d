// The embedded font in the native build: the same TrueType file as the
// Windows resource, read by FreeType and drawn with cairo, so pictures
// drawn natively show the label in its own hand.
#include <cairo-ft.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <fstream>
#include <iterator>
#include <vector>

#include "controls/ZELCoreTextFont.h"
#include "toolkit/cairo/cairodrawcontext.h"
#include "toolkit/platformsupport.h"

namespace VSTGUI {

namespace {

// One FreeType library for the process, never freed: cairo keeps recently
// used faces in a cache of its own after their fonts are gone.
FT_Library freeType() {
  static FT_Library library = [] {
    FT_Library l = nullptr;
    return FT_Init_FreeType(&l) == 0 ? l : nullptr;
  }();
  return library;
}

const cairo_user_data_key_t kFaceKey = {};

void doneFace(void* face) { FT_Done_Face(static_cast<FT_Face>(face)); }

}  // namespace

struct ZELCoreTextFont::Platform {
  FT_Face face = nullptr;
  cairo_font_face_t* cairoFace = nullptr;
  cairo_scaled_font_t* scaled = nullptr;
  cairo_font_options_t* options = nullptr;
  bool tried = false;
};

void ZELCoreTextFont::loadIntoPlatform() {
  if (!platform) platform = new Platform;
  Platform& p = *platform;
  if (p.tried) return;
  p.tried = true;
  std::string file = source.file;
  if (file.empty()) file = std::string(getResourceFolder()) + "/font/ZELOrvane.ttf";
  FT_Library library = freeType();
  if (!library || !(size > 0) || FT_New_Face(library, file.c_str(), 0, &p.face) != 0) {
    p.face = nullptr;
    return;
  }
  // Only a face of the label's family serves; any other file is refused as
  // the Windows side refuses a resource without it.
  std::string family = p.face->family_name ? p.face->family_name : "";
  if (std::wstring(family.begin(), family.end()) != faceName) {
    FT_Done_Face(p.face);
    p.face = nullptr;
    return;
  }
  p.cairoFace = cairo_ft_font_face_create_for_ft_face(p.face, 0);
  if (cairo_font_face_set_user_data(p.cairoFace, &kFaceKey, p.face, doneFace) != CAIRO_STATUS_SUCCESS) {
    cairo_font_face_destroy(p.cairoFace);
    FT_Done_Face(p.face);
    p.cairoFace = nullptr;
    p.face = nullptr;
    return;
  }
  cairo_matrix_t fontMatrix, ctm;
  cairo_matrix_init_scale(&fontMatrix, size, size);
  cairo_matrix_init_identity(&ctm);
  // Unhinted outlines and metrics, as DirectWrite lays text out: the same
  // text measures the same wherever it stands.
  p.options = cairo_font_options_create();
  cairo_font_options_set_hint_style(p.options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(p.options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(p.options, CAIRO_ANTIALIAS_GRAY);
  p.scaled = cairo_scaled_font_create(p.cairoFace, &fontMatrix, &ctm, p.options);
  if (cairo_scaled_font_status(p.scaled) != CAIRO_STATUS_SUCCESS) {
    cairo_scaled_font_destroy(p.scaled);
    p.scaled = nullptr;
    return;
  }
  // The metrics from the same file's tables, as the Windows side reads
  // them from the resource.
  std::ifstream in(file, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  takeDesignMetrics(bytes.data(), bytes.size());
}

ZELCoreTextFont::~ZELCoreTextFont() {
  Platform& p = *platform;
  if (p.scaled) cairo_scaled_font_destroy(p.scaled);
  // The face is done with (FT_Done_Face) when cairo lets its last use go.
  if (p.cairoFace) cairo_font_face_destroy(p.cairoFace);
  if (p.options) cairo_font_options_destroy(p.options);
  delete platform;
}

bool ZELCoreTextFont::isLoaded() const { return platform && platform->scaled; }

void* ZELCoreTextFont::getGdiFont(double) { return nullptr; }

CCoord ZELCoreTextFont::getStringWidth(CDrawContext*, UTF8StringPtr string, bool) {
  lastWidth = 0;
  Platform& p = *platform;
  if (!p.scaled || !string || !*string) return 0;
  cairo_text_extents_t te;
  cairo_scaled_font_text_extents(p.scaled, validUtf8(string).c_str(), &te);
  lastWidth = te.x_advance;
  return lastWidth;
}

void ZELCoreTextFont::drawString(CDrawContext* context, UTF8StringPtr string, const CPoint& point, bool antialias) {
  auto* cc = dynamic_cast<CairoDrawContext*>(context);
  Platform& p = *platform;
  if (!cc || !cc->getCairo() || !p.scaled || !string || !*string) return;
  cairo_t* cr = cc->getCairo();
  cairo_save(cr);
  cairo_set_scaled_font(cr, p.scaled);
  cairo_font_options_t* o = cairo_font_options_copy(p.options);
  cairo_font_options_set_antialias(o, antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
  cairo_set_font_options(cr, o);
  cairo_font_options_destroy(o);
  cc->setSourceColor(context->getFontColor());
  cairo_move_to(cr, point.x + context->getOffset().x, point.y + context->getOffset().y);
  cairo_show_text(cr, validUtf8(string).c_str());
  cairo_restore(cr);
}

}  // namespace VSTGUI
