namespace Util {
    public int twice (int x) {
        return x * 2;
    }
}
