puts "before"
IO.popen("-") { |io| puts "child" }
puts "after"
