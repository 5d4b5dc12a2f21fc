puts "before"
puts STDIN.read.inspect
