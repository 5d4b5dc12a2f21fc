puts "before"
a = []
300_000.times { a = [a] }
a.inspect
