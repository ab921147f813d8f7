#pragma once

// A deterministic, photo-like test picture for the benchmarks.

#include <QImage>
#include <algorithm>
#include <cmath>
#include <vector>

// Smooth gradients, a few sharp-edged discs and low-amplitude noise, from a
// fixed seed: compresses roughly like a photo, unlike pure noise. With alpha,
// an opaque centre fades out towards the corners.
inline QImage photoLike(int width, int height, bool alpha, quint32 seed)
{
    quint64 state = seed;
    auto random = [&state]() {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return quint32(state >> 33);
    };
    const double scale = std::min(width, height);
    std::vector<double> along(size_t(width) * 3), down(size_t(height) * 3);
    for (int x = 0; x < width; ++x) {
        const double t = x / scale;
        along[size_t(x) * 3 + 0] = 60 * std::sin(t * 2.1 + 0.3) + 15 * std::sin(t * 9.0);
        along[size_t(x) * 3 + 1] = 50 * std::cos(t * 1.7) + 12 * std::sin(t * 7.0 + 1.0);
        along[size_t(x) * 3 + 2] = 40 * std::sin(t * 3.3 + 1.2);
    }
    for (int y = 0; y < height; ++y) {
        const double t = y / scale;
        down[size_t(y) * 3 + 0] = 120 + 40 * std::cos(t * 2.5);
        down[size_t(y) * 3 + 1] = 110 + 45 * std::sin(t * 1.9 + 0.7);
        down[size_t(y) * 3 + 2] = 100 + 50 * std::cos(t * 1.3 + 2.0);
    }
    struct Disc { double cx, cy, r2; int dr, dg, db; };
    std::vector<Disc> discs;
    for (int i = 0; i < 12; ++i) {
        const double r = scale * (0.05 + (random() % 1000) / 4000.0);
        discs.push_back({double(random() % quint32(width)), double(random() % quint32(height)),
                         r * r, int(random() % 121) - 60, int(random() % 121) - 60,
                         int(random() % 121) - 60});
    }

    QImage image(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            double c[3] = {along[size_t(x) * 3] + down[size_t(y) * 3],
                           along[size_t(x) * 3 + 1] + down[size_t(y) * 3 + 1],
                           along[size_t(x) * 3 + 2] + down[size_t(y) * 3 + 2]};
            for (const Disc &d : discs) {
                const double dx = x - d.cx, dy = y - d.cy;
                if (dx * dx + dy * dy < d.r2) {
                    c[0] += d.dr;
                    c[1] += d.dg;
                    c[2] += d.db;
                }
            }
            int v[3];
            for (int k = 0; k < 3; ++k) {
                const int noise = int(random() % 5) + int(random() % 5) - 4;
                v[k] = std::clamp(int(c[k]) + noise, 0, 255);
            }
            int a = 255;
            if (alpha) {
                // Opaque centre fading out towards the corners.
                const double dx = (x - width / 2.0) / width, dy = (y - height / 2.0) / height;
                a = std::clamp(int(255 * (1.4 - 2.4 * std::sqrt(dx * dx + dy * dy))), 0, 255);
            }
            line[x] = qRgba(v[0], v[1], v[2], a);
        }
    }
    return image;
}

