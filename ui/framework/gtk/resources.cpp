// Resources and start-up services on the GTK backend: everything is read
// from the compiled resource script embedded in the program.
#include <cstring>
#include <map>

#include "ui/framework/cstring.h"
#include "ui/framework/cwinapp.h"
#include "ui/framework/gtk/window_system.h"
#include "ui/framework/icon_group.h"
#include "ui/framework/icon_image.h"

namespace framework {
namespace gtk {
namespace {

GdkPixbuf* PixbufFromPng(std::span<const std::byte> bytes) {
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("png", nullptr);
  if (loader == nullptr) return nullptr;
  GdkPixbuf* image = nullptr;
  if (gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(bytes.data()), bytes.size(),
                              nullptr) &&
      gdk_pixbuf_loader_close(loader, nullptr)) {
    image = gdk_pixbuf_loader_get_pixbuf(loader);
    if (image != nullptr) g_object_ref(image);
  } else {
    gdk_pixbuf_loader_close(loader, nullptr);
  }
  g_object_unref(loader);
  return image;
}

GdkPixbuf* PixbufFromArgb(const IconImage& decoded) {
  GdkPixbuf* image = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, decoded.width, decoded.height);
  if (image == nullptr) return nullptr;
  const int stride = gdk_pixbuf_get_rowstride(image);
  guchar* pixels = gdk_pixbuf_get_pixels(image);
  for (int y = 0; y < decoded.height; ++y) {
    for (int x = 0; x < decoded.width; ++x) {
      const std::uint32_t argb = decoded.argb[static_cast<std::size_t>(y * decoded.width + x)];
      guchar* pixel = pixels + y * stride + x * 4;
      pixel[0] = static_cast<guchar>(argb >> 16);
      pixel[1] = static_cast<guchar>(argb >> 8);
      pixel[2] = static_cast<guchar>(argb);
      pixel[3] = static_cast<guchar>(argb >> 24);
    }
  }
  return image;
}

// All images of icon group `id`, largest first, at the highest colour depth
// each size has.
HICON LoadIconGroup(UINT id) {
  const ResourceEntry* group =
      Resources().Find(kResourceTypeGroupIcon, static_cast<std::uint16_t>(id), kResourceLanguage);
  if (group == nullptr) return nullptr;
  auto parsed = IconGroup::Parse(group->data);
  if (!parsed) return nullptr;
  std::map<int, std::pair<int, GdkPixbuf*>, std::greater<>> bySize;  // size -> (depth, image)
  for (const IconGroupEntry& entry : parsed->entries) {
    const ResourceEntry* image = Resources().Find(kResourceTypeIcon, entry.id, kResourceLanguage);
    if (image == nullptr) continue;
    auto decoded = DecodeIconImage(image->data);
    if (!decoded) continue;
    GdkPixbuf* pixbuf =
        decoded->png.empty() ? PixbufFromArgb(decoded->bitmap) : PixbufFromPng(decoded->png);
    if (pixbuf == nullptr) continue;
    const int size = gdk_pixbuf_get_width(pixbuf);
    auto& slot = bySize[size];
    if (slot.second == nullptr || entry.bit_count > slot.first) {
      if (slot.second) g_object_unref(slot.second);
      slot = {entry.bit_count, pixbuf};
    } else {
      g_object_unref(pixbuf);
    }
  }
  if (bySize.empty()) return nullptr;
  auto* icon = new HICON__;
  for (auto& [size, image] : bySize) icon->images.push_back(image.second);
  return icon;
}

}  // namespace

GdkPixbuf* PickImage(HICON icon, int pixels) {
  if (icon == nullptr || icon->images.empty()) return nullptr;
  GdkPixbuf* best = icon->images.front();  // the largest
  for (GdkPixbuf* image : icon->images) {
    if (gdk_pixbuf_get_width(image) >= pixels) best = image;
  }
  return best;
}

cairo_surface_t* IconSurface(GdkPixbuf* image, int size, GtkWidget* widget) {
  const int scale = gtk_widget_get_scale_factor(widget);
  const int pixels = size * scale;
  GdkPixbuf* sized = gdk_pixbuf_get_width(image) == pixels
                         ? GDK_PIXBUF(g_object_ref(image))
                         : gdk_pixbuf_scale_simple(image, pixels, pixels, GDK_INTERP_HYPER);
  cairo_surface_t* surface = gdk_cairo_surface_create_from_pixbuf(sized, scale, nullptr);
  g_object_unref(sized);
  return surface;
}

}  // namespace gtk

HINSTANCE AfxFindResourceHandle(LPCTSTR, LPCTSTR) {
  // One module holds every resource: the program itself.
  return reinterpret_cast<HINSTANCE>(const_cast<ResourceFile*>(&gtk::Resources()));
}

HICON CWinApp::LoadIconW(UINT id) const {
  // Icons are shared and live as long as the program, as resource icons do.
  static std::map<UINT, HICON> loaded;
  auto found = loaded.find(id);
  if (found != loaded.end()) return found->second;
  HICON icon = gtk::LoadIconGroup(id);
  loaded[id] = icon;
  return icon;
}

BOOL CString::LoadStringW(UINT id) {
  text_ = gtk::Resources().FindString(static_cast<std::uint16_t>(id), gtk::kResourceLanguage);
  return text_.empty() ? FALSE : TRUE;
}

// Linux has no ANSI code page; 8-bit text is taken as UTF-8, the encoding of
// every locale the program is run in. ASCII comes through unchanged.
CString::CString(const char* text) { *this = text; }

CString& CString::operator=(const char* text) {
  text_ = gtk::FromUtf8(text);
  return *this;
}

// GTK needs no registration of control classes.
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) { return init != nullptr; }

}  // namespace framework
