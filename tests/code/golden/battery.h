/* battery.h: made by dedur from battery.pat, layout rows-msb
 *
 * Include it from any number of C and C++ files. In exactly one of them,
 *     #define BATTERY_IMPLEMENTATION
 * before the #include, for the arrays' definitions. */
#ifndef BATTERY_H
#define BATTERY_H

#include <stdint.h>

#if defined(__AVR__)
#include <avr/pgmspace.h>
#endif
#ifndef PROGMEM
#define PROGMEM
#endif

#ifdef __cplusplus
extern "C" {
#endif

/*
 * Pattern 1: 8 x 5 dots, SEG 10, COM 4
 * .######.
 * ##....##
 * ##.##.##
 * ##....##
 * .######.
 */
#define battery_WIDTH 8
#define battery_HEIGHT 5
extern const uint8_t battery[5] PROGMEM;

#ifdef BATTERY_IMPLEMENTATION

const uint8_t battery[5] PROGMEM = {
    0x7E, 0xC3, 0xDB, 0xC3, 0x7E,
};

#endif /* BATTERY_IMPLEMENTATION */

#ifdef __cplusplus
}
#endif

#endif /* BATTERY_H */
