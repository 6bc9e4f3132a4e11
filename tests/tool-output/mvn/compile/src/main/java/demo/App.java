package demo;

public class App {
    public static void main(String[] args) {
        int count = "three";
        System.out.println(cuont);
    }
}
