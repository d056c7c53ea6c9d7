#include "platform/Jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace platform {
namespace {

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

extern "C" void JpegErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

// Warnings (corrupt or missing data) are not fatal: libjpeg fills in what it lacks.
extern "C" void JpegQuiet(j_common_ptr, int) {}

// CMYK as Adobe writes it (inverted) to RGB32.
void CmykRowToRgb32(const JSAMPLE* in, QRgb* out, int width, bool inverted) {
  for (int x = 0; x < width; ++x, in += 4) {
    int c = in[0], m = in[1], y = in[2], k = in[3];
    if (!inverted) {
      c = 255 - c;
      m = 255 - m;
      y = 255 - y;
      k = 255 - k;
    }
    out[x] = qRgb(c * k / 255, m * k / 255, y * k / 255);
  }
}

bool ReadHeader(jpeg_decompress_struct* cinfo, ErrorManager* err, const QByteArray* bytes) {
  if (setjmp(err->jump)) return false;
  jpeg_create_decompress(cinfo);
  jpeg_mem_src(cinfo, reinterpret_cast<const unsigned char*>(bytes->constData()),
               static_cast<unsigned long>(bytes->size()));
  jpeg_read_header(cinfo, TRUE);
  return true;
}

// All libjpeg work happens here with only plain locals (the palette's scope closes before
// the last call that may fail), so that the error jump skips no
// destructor. Returns false with err->message set on failure.
bool Decode(jpeg_decompress_struct* cinfo, ErrorManager* err, const QByteArray* bytes,
            int displayDepth, QSize atLeast, QImage* out, std::vector<JSAMPLE>* cmykRow) {
  if (setjmp(err->jump)) return false;
  jpeg_create_decompress(cinfo);
  jpeg_mem_src(cinfo, reinterpret_cast<const unsigned char*>(bytes->constData()),
               static_cast<unsigned long>(bytes->size()));
  jpeg_read_header(cinfo, TRUE);
  if (cinfo->image_width == 0 || cinfo->image_height == 0 ||
      qint64(cinfo->image_width) * cinfo->image_height > kMaxJpegPixels) {
    std::snprintf(err->message, sizeof err->message, "picture too large: %ux%u",
                  cinfo->image_width, cinfo->image_height);
    return false;
  }
  const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
  const bool paletted = displayDepth <= 8;
  if (paletted) {
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    if (!cmyk) {
      cinfo->quantize_colors = TRUE;
      cinfo->desired_number_of_colors = 256;
    }
  } else {
    // Straight into Format_RGB32's own byte order: no conversion after the decoder.
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
  }
  if (!atLeast.isEmpty()) {
    // The smallest reduction in eighths that is still at least the size shown.
    cinfo->scale_denom = 8;
    for (unsigned n = 1; n <= 8; ++n) {
      cinfo->scale_num = n;
      jpeg_calc_output_dimensions(cinfo);
      if (int(cinfo->output_width) >= atLeast.width() &&
          int(cinfo->output_height) >= atLeast.height())
        break;
    }
  }
  jpeg_start_decompress(cinfo);
  const int width = int(cinfo->output_width);
  const int height = int(cinfo->output_height);
  if (cinfo->quantize_colors) {
    *out = QImage(width, height, QImage::Format_Indexed8);
    if (out->isNull()) return false;
  } else {
    *out = QImage(width, height, QImage::Format_RGB32);
    if (out->isNull()) return false;
  }
  if (cmyk) cmykRow->resize(size_t(width) * 4);
  while (cinfo->output_scanline < cinfo->output_height) {
    const int y = int(cinfo->output_scanline);
    if (cmyk) {
      JSAMPROW row = cmykRow->data();
      if (jpeg_read_scanlines(cinfo, &row, 1) != 1) break;
      CmykRowToRgb32(row, reinterpret_cast<QRgb*>(out->scanLine(y)), width,
                     cinfo->saw_Adobe_marker);
    } else {
      // Several rows per call: libjpeg's upsampler produces them together.
      JSAMPROW rows[16];
      const int n = std::min<int>(16, height - y);
      for (int i = 0; i < n; ++i) rows[i] = out->scanLine(y + i);
      if (jpeg_read_scanlines(cinfo, rows, JDIMENSION(n)) == 0) break;
    }
  }
  if (cinfo->quantize_colors) {
    QVector<QRgb> palette(cinfo->actual_number_of_colors);
    for (int i = 0; i < palette.size(); ++i) {
      if (cinfo->out_color_components == 1) {
        const int g = cinfo->colormap[0][i];
        palette[i] = qRgb(g, g, g);
      } else {
        palette[i] = qRgb(cinfo->colormap[0][i], cinfo->colormap[1][i], cinfo->colormap[2][i]);
      }
    }
    out->setColorTable(palette);
  }
  jpeg_finish_decompress(cinfo);
  return true;
}

}  // namespace

std::optional<Bitmap> DecodeJpeg(const QByteArray& bytes, int displayDepth, QString* error,
                                 QSize atLeast) {
  jpeg_decompress_struct cinfo{};
  ErrorManager err{};
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = JpegErrorExit;
  err.pub.emit_message = JpegQuiet;
  QImage image;
  std::vector<JSAMPLE> cmykRow;  // outside Decode: the error jump must skip no destructor
  const bool ok = Decode(&cinfo, &err, &bytes, displayDepth, atLeast, &image, &cmykRow);
  jpeg_destroy_decompress(&cinfo);
  if (!ok) {
    if (error) *error = QString::fromLatin1(err.message);
    return std::nullopt;
  }
  // A CMYK picture on a palette display is reduced by Qt instead of libjpeg.
  if (displayDepth <= 8 && image.format() != QImage::Format_Indexed8)
    image = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
  return Bitmap(std::move(image));
}

std::optional<QSize> JpegSize(const QByteArray& bytes) {
  jpeg_decompress_struct cinfo{};
  ErrorManager err{};
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = JpegErrorExit;
  err.pub.emit_message = JpegQuiet;
  const bool ok = ReadHeader(&cinfo, &err, &bytes);
  const QSize size(int(cinfo.image_width), int(cinfo.image_height));
  jpeg_destroy_decompress(&cinfo);
  if (!ok || size.isEmpty()) return std::nullopt;
  return size;
}

}  // namespace platform
