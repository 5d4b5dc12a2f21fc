def down(n) = down(n + 1) + 1
puts "before"
down(0)
