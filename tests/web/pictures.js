// Pictures compared by the browser itself (the page's own decoder, no other library).
'use strict';

// Two pictures (addresses a page can fetch: PNG data addresses) decoded in the tab and
// compared over red, green and blue: the mean absolute difference per channel (-1 when
// the sizes differ), and whether every pixel is equal.
async function comparePictures(tab, a, b) {
  return tab.evaluate(async (a, b) => {
    const pixels = async (src) => {
      const bitmap = await createImageBitmap(await (await fetch(src)).blob());
      const context = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d');
      context.drawImage(bitmap, 0, 0);
      return context.getImageData(0, 0, bitmap.width, bitmap.height).data;
    };
    const [p, q] = [await pixels(a), await pixels(b)];
    if (p.length !== q.length) return { mean: -1, identical: false };
    let sum = 0;
    for (let i = 0; i < p.length; i += 4) sum += Math.abs(p[i] - q[i]) + Math.abs(p[i + 1] - q[i + 1]) + Math.abs(p[i + 2] - q[i + 2]);
    return { mean: sum / (p.length / 4 * 3), identical: sum === 0 };
  }, a, b);
}

module.exports = { comparePictures };
