#pragma once
// Complex impedances of the per-phase equivalent circuit. Operands are copied before the result
// is written, so the result may be one of the operands.

struct Complex {
    double Re = 0;
    double Im = 0;
};

// Notes that a value stored on the way went beyond the range of a double. A later division by
// such an infinity gives a finite but wrong result, so a computation that has overflowed must be
// refused even when everything it returns is finite. Passing none costs nothing.
struct OverflowWatch {
    bool overflowed = false;
};

double ComplexAbs(const Complex& z, OverflowWatch* watch = nullptr);
void ComplexAdd(const Complex& a, const Complex& b, Complex& r, OverflowWatch* watch = nullptr);
void ComplexParallel(const Complex& a, const Complex& b, Complex& r, OverflowWatch* watch = nullptr); // a*b/(a+b)
void ComplexDivide(const Complex& a, const Complex& b, Complex& r, OverflowWatch* watch = nullptr);
