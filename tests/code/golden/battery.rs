// battery: made by dedur from battery.pat, layout pages-lsb

// Pattern 1: 8 x 5 dots, SEG 10, COM 4
// .######.
// ##....##
// ##.##.##
// ##....##
// .######.
pub const BATTERY_WIDTH: u32 = 8;
pub const BATTERY_HEIGHT: u32 = 5;
pub const BATTERY: [u8; 8] = [
    0x0E, 0x1F, 0x11, 0x15, 0x15, 0x11, 0x1F, 0x0E,
];

