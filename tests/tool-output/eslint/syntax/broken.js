function f(a) {
  return a +;
}
