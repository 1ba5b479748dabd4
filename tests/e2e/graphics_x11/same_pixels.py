# same_pixels.py XWD BMP - does the window's dump show the snapshot's
# drawing area pixel for pixel, and the panel beside it as drawn?
import struct, sys

xwd = open(sys.argv[1], 'rb').read()
bmp = open(sys.argv[2], 'rb').read()
# XWD header: 25 big-endian 32-bit fields, then the window name.
f = struct.unpack('>25I', xwd[:100])
header_size, width, height = f[0], f[4], f[5]
byte_order, bits_per_pixel, bytes_per_line, ncolors = f[7], f[11], f[12], f[19]
red_mask, green_mask, blue_mask = f[14], f[15], f[16]
if bits_per_pixel != 32:
    sys.exit('unexpected dump: %d bits per pixel' % bits_per_pixel)
data = xwd[header_size + 12 * ncolors:]
order = '<' if byte_order == 0 else '>'

def shift(mask):
    s = 0
    while mask and not mask & 1:
        mask >>= 1
        s += 1
    return s

rs, gs, bs = shift(red_mask), shift(green_mask), shift(blue_mask)
bw, bh = struct.unpack('<ii', bmp[18:26])
bad = 0
for y in range(min(bh, height)):
    row = 54 + (bh - 1 - y) * bw * 3
    for x in range(min(bw, width)):
        (v,) = struct.unpack(order + 'I', data[y * bytes_per_line + 4 * x: y * bytes_per_line + 4 * x + 4])
        got = ((v & red_mask) >> rs, (v & green_mask) >> gs, (v & blue_mask) >> bs)
        b, g, r = bmp[row + 3 * x: row + 3 * x + 3]
        if got != (r, g, b):
            if bad < 3:
                print('(%d %d) window %s, snapshot %s' % (x, y, got, (r, g, b)))
            bad += 1
print('same pixels' if bad == 0 and width >= bw and height >= bh else '%d pixels differ' % bad)

# The panel beside the drawing area: white, with the five boxes outlined
# in black and the colour box filled with the background colour (yellow).
def window_pixel(x, y):
    (v,) = struct.unpack(order + 'I', data[y * bytes_per_line + 4 * x: y * bytes_per_line + 4 * x + 4])
    return ((v & red_mask) >> rs, (v & green_mask) >> gs, (v & blue_mask) >> bs)

WHITE, BLACK, YELLOW = (255, 255, 255), (0, 0, 0), (255, 255, 0)
checks = [((640, 200), BLACK, 'left border'), ((670, 64), BLACK, 'width box bottom'),
          ((670, 65), BLACK, 'direction box top'), ((690, 100), WHITE, 'direction box'),
          ((642, 150), YELLOW, 'colour box'), ((697, 190), YELLOW, 'colour box corner'),
          ((690, 240), WHITE, 'pen box'), ((690, 390), WHITE, 'position box')]
wrong = [name for (x, y), want, name in checks if window_pixel(x, y) != want]
print('panel as drawn' if not wrong else 'panel differs: ' + ', '.join(wrong))
