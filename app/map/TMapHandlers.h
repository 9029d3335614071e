#pragma once
// The handlers of the pvxMap commands, by family. Each parses its arguments
// (usage errors first), then calls the toolkit.

class TMapArguments;

namespace TMapHandlers {

// Cell by cell, streamed.
void Info(const TMapArguments& Args);
void Convert(const TMapArguments& Args);
void Scale(const TMapArguments& Args);
void Threshold(const TMapArguments& Args);
void Reclass(const TMapArguments& Args);
void Round(const TMapArguments& Args);

// Between maps.
void Add(const TMapArguments& Args);
void Subtract(const TMapArguments& Args);
void Multiply(const TMapArguments& Args);
void Divide(const TMapArguments& Args);
void Sum(const TMapArguments& Args);
void Average(const TMapArguments& Args);
void Count(const TMapArguments& Args);
void MovingAverage(const TMapArguments& Args);
void Gradients(const TMapArguments& Args);
void Mask(const TMapArguments& Args);

// Resampling and sub-maps.
void Resample(const TMapArguments& Args);
void Subdivide(const TMapArguments& Args);
void Extract(const TMapArguments& Args);
void Insert(const TMapArguments& Args);
void Intersect(const TMapArguments& Args);

// Tables on standard output.
void Values(const TMapArguments& Args);
void Zonal(const TMapArguments& Args);
void Sample(const TMapArguments& Args);
void Dump(const TMapArguments& Args);

}  // namespace TMapHandlers
