#pragma once
// The windows are laid out in twips; at the usual 96 dots per inch a pixel is
// 15 twips. For the renderer and for the pictures the build stores at the
// sizes the windows draw them.
namespace ferro::qt {

constexpr int kTwipsPerPixel = 15;
constexpr int px(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

}  // namespace ferro::qt
