#include "Complex.h"

#include <cmath>

#include "MotorDataSet.h"

// Each operation stores plainly, or watched when a watch is given (the operations are in Complex.h).

double ComplexAbs(const Complex& z) { return ComplexAbsWith(z, PlainStore{}); }
void ComplexAdd(const Complex& a, const Complex& b, Complex& r) { ComplexAddWith(a, b, r, PlainStore{}); }
void ComplexParallel(const Complex& a, const Complex& b, Complex& r) { ComplexParallelWith(a, b, r, PlainStore{}); }
void ComplexDivide(const Complex& a, const Complex& b, Complex& r) { ComplexDivideWith(a, b, r, PlainStore{}); }

double ComplexAbs(const Complex& z, RangeWatch* watch) {
    return watch ? ComplexAbsWith(z, WatchedStore{*watch}) : ComplexAbs(z);
}

void ComplexAdd(const Complex& a, const Complex& b, Complex& r, RangeWatch* watch) {
    watch ? ComplexAddWith(a, b, r, WatchedStore{*watch}) : ComplexAdd(a, b, r);
}

void ComplexParallel(const Complex& a, const Complex& b, Complex& r, RangeWatch* watch) {
    watch ? ComplexParallelWith(a, b, r, WatchedStore{*watch}) : ComplexParallel(a, b, r);
}

void ComplexDivide(const Complex& a, const Complex& b, Complex& r, RangeWatch* watch) {
    watch ? ComplexDivideWith(a, b, r, WatchedStore{*watch}) : ComplexDivide(a, b, r);
}
