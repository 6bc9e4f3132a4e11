import sub.pkg.Util;

public class Main {
    public static void main(String[] args) {
        int count = "three";
        System.out.println(Util.twice(count) + missing);
    }
}
