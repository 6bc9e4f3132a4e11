package demo;

import java.util.ArrayList;
import java.util.List;

public class App {
    @Deprecated
    static int old() { return 1; }

    public static void main(String[] args) {
        List raw = new ArrayList();
        raw.add("x");
        System.out.println(old() + raw.size());
        int broken = "no";
    }
}
