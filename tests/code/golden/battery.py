# battery: made by dedur from battery.pat, layout pages-lsb
import framebuf

# Pattern 1: 8 x 5 dots, SEG 10, COM 4
# .######.
# ##....##
# ##.##.##
# ##....##
# .######.
battery = bytearray(b'\x0E\x1F\x11\x15\x15\x11\x1F\x0E')
battery_fb = framebuf.FrameBuffer(battery, 8, 5, framebuf.MONO_VLSB)

