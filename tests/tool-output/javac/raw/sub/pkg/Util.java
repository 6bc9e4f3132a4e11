package sub.pkg;

public class Util {
    public static int twice(int x) {
        java.util.List list = new java.util.ArrayList();
        list.add(x);
        return x * 2;
    }
}
