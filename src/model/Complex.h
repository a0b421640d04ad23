#pragma once
// Complex impedances of the per-phase equivalent circuit. Operands are copied before the result
// is written, so the result may be one of the operands.

struct Complex {
    double Re = 0;
    double Im = 0;
};

double ComplexAbs(const Complex& z);
void ComplexAdd(const Complex& a, const Complex& b, Complex& r);
void ComplexParallel(const Complex& a, const Complex& b, Complex& r); // a*b/(a+b)
void ComplexDivide(const Complex& a, const Complex& b, Complex& r);
