/*
 * golden_font: a font for LVGL 8 and 9 (lv_font_fmt_txt), 1 bit per dot
 * The glyphs of the strings' characters, made by dedur
 * Size: 16 px line (13 above the baseline, 3 below), 8 glyphs
 * Elsewhere: LV_FONT_DECLARE(golden_font);
 */

#ifdef __has_include
#if __has_include("lvgl.h")
#ifndef LV_LVGL_H_INCLUDE_SIMPLE
#define LV_LVGL_H_INCLUDE_SIMPLE
#endif
#endif
#endif

#ifdef LV_LVGL_H_INCLUDE_SIMPLE
#include "lvgl.h"
#else
#include "lvgl/lvgl.h"
#endif

#if !defined(LVGL_VERSION_MAJOR) || LVGL_VERSION_MAJOR < 8
#error "This font is for LVGL 8 and later"
#endif

static LV_ATTRIBUTE_LARGE_CONST const uint8_t glyph_bitmap[] = {
    /* U+0020 */
    /* U+0031 "1" */
    0xfe, 0x18, 0x7f, 0x86, 0x18, 0x61, 0x86, 0x18, 0x61, 0xfc,
    /* U+0041 "A" */
    0xf9, 0x99, 0xf9, 0x99, 0x99, 0xf0,
    /* U+0062 "b" */
    0xf9, 0xf9, 0x99, 0x99, 0x99, 0xf0,
    /* U+4E2D "中" */
    0xff, 0xf8, 0x01, 0x80, 0x18, 0x01, 0xff, 0xf8, 0x01, 0x80, 0x18, 0x01, 0x80, 0x18, 0x01, 0xff,
    0xf0,
    /* U+578B "型" */
    0xff, 0xfe, 0x00, 0x18, 0x00, 0x60, 0x01, 0x80, 0x07, 0xff, 0xf8, 0x00, 0x60, 0x01, 0x80, 0x06,
    0x00, 0x18, 0x00, 0x60, 0x01, 0xff, 0xfc,
    /* U+5B57 "字" */
    0xff, 0xff, 0x80, 0x01, 0x80, 0x01, 0x80, 0x01, 0x80, 0x01, 0x80, 0x01, 0x80, 0x01, 0xff, 0xff,
    0x80, 0x01, 0x80, 0x01, 0x80, 0x01, 0x80, 0x01, 0x80, 0x01, 0x80, 0x01, 0xff, 0xff,
    /* U+6587 "文" */
    0xff, 0xe0, 0x18, 0x06, 0x01, 0x80, 0x7f, 0xf8, 0x06, 0x01, 0xff, 0xc0,
};

static const lv_font_fmt_txt_glyph_dsc_t glyph_dsc[] = {
    {.bitmap_index = 0, .adv_w = 0, .box_w = 0, .box_h = 0, .ofs_x = 0, .ofs_y = 0}, /* reserved */
    {.bitmap_index = 0, .adv_w = 128, .box_w = 0, .box_h = 0, .ofs_x = 0, .ofs_y = 0}, /* U+0020 */
    {.bitmap_index = 0, .adv_w = 128, .box_w = 6, .box_h = 13, .ofs_x = 1, .ofs_y = -2}, /* U+0031 */
    {.bitmap_index = 10, .adv_w = 128, .box_w = 4, .box_h = 11, .ofs_x = 2, .ofs_y = -1}, /* U+0041 */
    {.bitmap_index = 16, .adv_w = 128, .box_w = 4, .box_h = 11, .ofs_x = 2, .ofs_y = -1}, /* U+0062 */
    {.bitmap_index = 22, .adv_w = 256, .box_w = 12, .box_h = 11, .ofs_x = 2, .ofs_y = 0}, /* U+4E2D */
    {.bitmap_index = 39, .adv_w = 256, .box_w = 14, .box_h = 13, .ofs_x = 1, .ofs_y = -1}, /* U+578B */
    {.bitmap_index = 62, .adv_w = 256, .box_w = 16, .box_h = 15, .ofs_x = 0, .ofs_y = -2}, /* U+5B57 */
    {.bitmap_index = 92, .adv_w = 256, .box_w = 10, .box_h = 9, .ofs_x = 3, .ofs_y = 1}, /* U+6587 */
};

static const uint16_t unicode_list_0[] = {
    0x0000, 0x0011, 0x0021, 0x0042, 0x4e0d, 0x576b, 0x5b37, 0x6567,
};

static const lv_font_fmt_txt_cmap_t cmaps[] = {
    {.range_start = 32, .range_length = 25960, .glyph_id_start = 1,
     .unicode_list = unicode_list_0, .glyph_id_ofs_list = NULL, .list_length = 8,
     .type = LV_FONT_FMT_TXT_CMAP_SPARSE_TINY},
};

#if LVGL_VERSION_MAJOR == 8
/* LVGL 8 keeps the last glyph it looked up here */
static lv_font_fmt_txt_glyph_cache_t cache;
#endif

static const lv_font_fmt_txt_dsc_t font_dsc = {
    .glyph_bitmap = glyph_bitmap,
    .glyph_dsc = glyph_dsc,
    .cmaps = cmaps,
    .kern_dsc = NULL,
    .kern_scale = 0,
    .cmap_num = 1,
    .bpp = 1,
    .kern_classes = 0,
    .bitmap_format = 0,
#if LVGL_VERSION_MAJOR == 8
    .cache = &cache,
#endif
#if LVGL_VERSION_MAJOR > 9 || (LVGL_VERSION_MAJOR == 9 && LVGL_VERSION_MINOR >= 3)
    .stride = 0,
#endif
};

const lv_font_t golden_font = {
    .get_glyph_dsc = lv_font_get_glyph_dsc_fmt_txt,
    .get_glyph_bitmap = lv_font_get_bitmap_fmt_txt,
    .line_height = 16,
    .base_line = 3,
    .subpx = LV_FONT_SUBPX_NONE,
    .underline_position = -1,
    .underline_thickness = 1,
#if LVGL_VERSION_MAJOR > 9 || (LVGL_VERSION_MAJOR == 9 && LVGL_VERSION_MINOR >= 3)
    .static_bitmap = 1,
#endif
    .dsc = &font_dsc,
#if LVGL_VERSION_MAJOR >= 9 || LVGL_VERSION_MINOR >= 2
    .fallback = NULL,
#endif
#if LVGL_VERSION_MAJOR >= 9
    .user_data = NULL,
#endif
};
