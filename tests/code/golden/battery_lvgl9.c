/* battery: made by dedur from battery.pat, layout rows-msb
 * LVGL 9 images: index 0 of the palette (a clear dot) is #FFFFFF, index 1 (a set dot) #000000.
 * Declare one with LV_IMAGE_DECLARE(name) where it is drawn. */

#if defined(LV_LVGL_H_INCLUDE_SIMPLE)
#include "lvgl.h"
#else
#include "lvgl/lvgl.h"
#endif

#ifndef LV_ATTRIBUTE_MEM_ALIGN
#define LV_ATTRIBUTE_MEM_ALIGN
#endif
#ifndef LV_ATTRIBUTE_LARGE_CONST
#define LV_ATTRIBUTE_LARGE_CONST
#endif

/*
 * Pattern 1: 8 x 5 dots, SEG 10, COM 4
 * .######.
 * ##....##
 * ##.##.##
 * ##....##
 * .######.
 */
static const LV_ATTRIBUTE_MEM_ALIGN LV_ATTRIBUTE_LARGE_CONST uint8_t battery_map[] = {
    0xFF, 0xFF, 0xFF, 0xFF, /* index 0: #FFFFFF */
    0x00, 0x00, 0x00, 0xFF, /* index 1: #000000 */
    0x7E,
    0xC3,
    0xDB,
    0xC3,
    0x7E,
};

const lv_image_dsc_t battery = {
    .header = {
        .magic = LV_IMAGE_HEADER_MAGIC,
        .cf = LV_COLOR_FORMAT_I1,
        .flags = 0,
        .w = 8,
        .h = 5,
        .stride = 1,
    },
    .data_size = sizeof(battery_map),
    .data = battery_map,
};
