line = "y" * 99_999
1_000.times { puts line }
